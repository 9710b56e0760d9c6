#!/usr/bin/perl
# Prints the entries of an index as Perl's XBase::Index walks it: one line per
# entry, the key with trailing blanks removed, a tab, the record number.
# Usage: read_xbase_index.pl INDEX [TAG]
use strict;
use warnings;
use XBase::Index;

my ($file, $tag) = @ARGV;
my $index = defined $tag ? XBase::Index->new($file, 'tag' => $tag) : XBase::Index->new($file);
die XBase::Index->errstr unless $index;
$index->prepare_select;
while (my ($key, $recno) = $index->fetch) {
    $key =~ s/\s+$//;
    print "$key\t$recno\n";
}
