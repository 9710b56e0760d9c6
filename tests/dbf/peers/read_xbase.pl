#!/usr/bin/perl
# Prints every record of a table as read by Perl's XBase: one line per record,
# the values of the first COLUMNS fields (all without it) tab-separated, CR
# and LF escaped, text as the table's cp1252 bytes turned into UTF-8.
# Usage: read_xbase.pl TABLE [COLUMNS]
use strict;
use warnings;
use XBase;
use Encode qw(decode encode);

my $table = XBase->new($ARGV[0]) or die XBase->errstr;
for my $i (0 .. $table->last_record) {
    my ($deleted, @values) = $table->get_record($i);
    next if $deleted;
    splice(@values, $ARGV[1]) if defined $ARGV[1];
    my @out = map { my $v = defined $_ ? $_ : ''; $v =~ s/\r/\\r/g; $v =~ s/\n/\\n/g; encode('UTF-8', decode('cp1252', $v)) } @values;
    print join("\t", @out), "\n";
}
$table->close;
