# Writes a dBASE III table (version 0x03, no language driver) with Perl's
# XBase, with FoxPro's currency (Y) and date-time (T) fields in it as XBase
# writes them: one record with values, one with every value left undefined.
#
# usage: xbase_write_empty.pl TABLE
use strict;
use warnings;
use XBase;

my ($path) = @ARGV;
unlink $path;
my $table = XBase->create(
    name => $path, version => 3,
    field_names    => [qw(NAME QTY PRICE OK DAY COST STAMP)],
    field_types    => [qw(C N N L D Y T)],
    field_lengths  => [10, 6, 9, 1, 8, 8, 8],
    field_decimals => [0, 0, 2, 0, 0, 4, 0],
) or die XBase->errstr;
$table->set_record(0, 'abc', 5, 1.5, 1, 20240305, 12.5, 2460375.5) or die $table->errstr;
$table->set_record(1, undef, undef, undef, undef, undef, undef, undef) or die $table->errstr;
$table->close;
