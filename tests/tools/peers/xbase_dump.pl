# Prints what Perl's XBase reads from a table, one JSON object per record: the
# live records in file order, then the deleted ones, each with "_deleted".
# Values take dbftool's forms: empty text and missing values are null,
# numbers numbers, logicals true or false, dates "YYYY-MM-DD".
#
# usage: xbase_dump.pl TABLE ENCODING
use strict;
use warnings;
use Encode qw(decode);
use JSON::PP;
use XBase;

my ($path, $encoding) = @ARGV;
my $table = XBase->new(name => $path, ChopBlanks => 1) or die XBase->errstr;
my @names = $table->field_names;
my @types = $table->field_types;

sub shape {
    my ($type, $value) = @_;
    return JSON::PP::null unless defined $value;
    if ($type eq 'L') { return $value ? JSON::PP::true : JSON::PP::false; }
    if ($type eq 'D') { return sprintf '%04d-%02d-%02d', int($value / 10000), int($value / 100) % 100, $value % 100; }
    if ($type eq 'N' or $type eq 'F') { return $value + 0; }
    $value = decode($encoding, $value);
    $value =~ s/ +$// if $type eq 'C';
    return $value eq '' ? JSON::PP::null : $value;
}

# Objects are put together by hand, so that the fields keep their file order.
my $json = JSON::PP->new->utf8->allow_nonref;
for my $wanted (0, 1) {
    for my $recno (0 .. $table->last_record) {
        my ($deleted, @values) = $table->get_record($recno);
        next unless ($deleted ? 1 : 0) == $wanted;
        my @pairs = ('"_deleted":' . ($deleted ? 'true' : 'false'));
        for my $i (0 .. $#names) {
            push @pairs, $json->encode($names[$i]) . ':' . $json->encode(shape($types[$i], $values[$i]));
        }
        print '{' . join(',', @pairs) . "}\n";
    }
}
$table->close;
