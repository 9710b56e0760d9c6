#!/usr/bin/perl
# Perl's XBase (libdbd-xbase-perl) side of the comparison.
#   xbase_compare.pl walk FILE        every field of every record
#   xbase_compare.pl append FILE N    a new table of N walk-layout records
#   xbase_compare.pl memo-read FILE   every memo's text
# The records are the ones the engine's driver writes (see shp_compare.c).
use strict;
use warnings;
use XBase;
use POSIX qw(strftime);
use Time::Local qw(timegm);

my ($command, $path, $count) = @ARGV;
die "usage: xbase_compare.pl walk|append|memo-read FILE [N]\n" unless $command && $path;

if ($command eq 'walk' || $command eq 'memo-read') {
    my $table = XBase->new($path) or die XBase->errstr;
    my ($records, $bytes) = (0, 0);
    for my $i (0 .. $table->last_record) {
        my ($deleted, @values) = $table->get_record($i);
        next if $deleted;
        $bytes += length(defined $_ ? $_ : '') for @values;
        ++$records;
    }
    $table->close;
    print "$records records, $bytes bytes of text\n";
} elsif ($command eq 'append') {
    unlink $path;
    my $table = XBase->create(name => $path, version => 3,
        field_names => [qw(NAME CITY AMOUNT ACTIVE SINCE)], field_types => [qw(C C N L D)],
        field_lengths => [10, 10, 8, 1, 8], field_decimals => [0, 0, 0, 0, 0]) or die XBase->errstr;
    my $base = timegm(0, 0, 0, 1, 0, 2024);
    for my $i (0 .. $count - 1) {
        $table->set_record($i, sprintf('N%08d', $i), sprintf('CITY%03d', $i % 997), $i % 10000000,
            $i % 2 == 0 ? 'T' : 'F', strftime('%Y%m%d', gmtime($base + 86400 * ($i % 3650))));
    }
    $table->close;
    print "$count records appended\n";
} else {
    die "unknown command $command\n";
}
