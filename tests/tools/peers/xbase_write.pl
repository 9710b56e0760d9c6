# Writes a dBASE IV table with a memo file (version 0x8B, language driver
# 0x57, Windows ANSI) with Perl's XBase: four records, the third deleted,
# the first with a memo over several blocks.
#
# usage: xbase_write.pl TABLE
use strict;
use warnings;
use utf8;
use Encode qw(encode);
use XBase;

my ($path) = @ARGV;
my $table = XBase->create(
    name => $path, version => 0x8B, codepage => 0x57,
    field_names    => [qw(NAME QTY PRICE OK DAY NOTE)],
    field_types    => [qw(C N N L D M)],
    field_lengths  => [24, 6, 9, 1, 8, 10],
    field_decimals => [0, 0, 2, 0, 0, 0],
) or die XBase->errstr;

my $memo = join '', map { "line $_ of a memo that spans several blocks, äöü\r\n" } 0 .. 59;
my @rows = (
    ['Grüße — 25 €', 42, -3.25, 1, 20240305, $memo],
    ['  spaced', -7, 0.5, 0, 19991231, 'short memo'],
    ['deleted one', 1, 1, 1, 20000101, 'gone'],
    ['', undef, undef, 0, undef, undef],
);
for my $i (0 .. $#rows) {
    my @values = map { defined $_ && !/^-?[\d.]+$/ ? encode('cp1252', $_) : $_ } @{ $rows[$i] };
    $table->set_record($i, @values) or die $table->errstr;
}
$table->delete_record(2) or die $table->errstr;
$table->close;
