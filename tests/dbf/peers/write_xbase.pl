#!/usr/bin/perl
# Writes a table with Perl's XBase: a text field NAME C(20) and a memo NOTE,
# one record per pair of arguments (UTF-8, stored as cp1252). The version is
# XBase's: 3 and 4 pick the dBASE memo layout, 245 (0xF5) a FoxPro table with
# an .fpt memo file (its "foxpro" version writes an 0x80 table with a .dbt).
# Usage: write_xbase.pl TABLE 3|4|245 NAME NOTE [NAME NOTE ...]
use strict;
use warnings;
use XBase;
use Encode qw(decode encode);

my ($path, $version, @values) = @ARGV;
my $table = XBase->create(name => $path, version => $version,
    field_names => ['NAME', 'NOTE'], field_types => ['C', 'M'],
    field_lengths => [20, 10], field_decimals => [0, 0]) or die XBase->errstr;
my $n = 0;
while (@values) {
    my ($name, $note) = map { encode('cp1252', decode('UTF-8', $_)) } splice(@values, 0, 2);
    $table->set_record($n++, $name, $note) or die $table->errstr;
}
$table->close;
