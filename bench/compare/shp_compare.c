/* shapelib's side of the comparison (libshp's DBF functions, C).
 *
 *   shp_compare walk FILE       every field of every record as text
 *   shp_compare append FILE N   a new table of N records of the walk layout
 *
 * The records are the ones the engine's driver writes: NAME C10 "N%08d",
 * CITY C10 "CITY%03d" (i mod 997), AMOUNT N8 i, ACTIVE L (even i true),
 * SINCE D 1 January 2024 plus i mod 3650 days. */
#include <shapefil.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static int walk(const char *path) {
    DBFHandle dbf = DBFOpen(path, "rb");
    if (dbf == NULL) return 1;
    int records = DBFGetRecordCount(dbf), fields = DBFGetFieldCount(dbf);
    long long bytes = 0, seen = 0;
    for (int r = 0; r < records; ++r) {
        if (DBFIsRecordDeleted(dbf, r)) continue;
        for (int f = 0; f < fields; ++f) bytes += (long long)strlen(DBFReadStringAttribute(dbf, r, f));
        ++seen;
    }
    DBFClose(dbf);
    printf("%lld records, %lld bytes of text\n", seen, bytes);
    return 0;
}

static void since_text(long i, char *out, size_t size) {
    struct tm day = {0};
    day.tm_year = 124;
    day.tm_mday = 1 + (int)(i % 3650);
    time_t t = timegm(&day);
    struct tm normal;
    gmtime_r(&t, &normal);
    strftime(out, size, "%Y%m%d", &normal);
}

static int append(const char *path, long count) {
    DBFHandle dbf = DBFCreateEx(path, "LDID/87");
    if (dbf == NULL) return 1;
    DBFAddNativeFieldType(dbf, "NAME", 'C', 10, 0);
    DBFAddNativeFieldType(dbf, "CITY", 'C', 10, 0);
    DBFAddNativeFieldType(dbf, "AMOUNT", 'N', 8, 0);
    DBFAddNativeFieldType(dbf, "ACTIVE", 'L', 1, 0);
    DBFAddNativeFieldType(dbf, "SINCE", 'D', 8, 0);
    char text[32];
    for (long i = 0; i < count; ++i) {
        int r = (int)i;
        snprintf(text, sizeof text, "N%08ld", i);
        DBFWriteStringAttribute(dbf, r, 0, text);
        snprintf(text, sizeof text, "CITY%03ld", i % 997);
        DBFWriteStringAttribute(dbf, r, 1, text);
        DBFWriteIntegerAttribute(dbf, r, 2, (int)(i % 10000000));
        DBFWriteLogicalAttribute(dbf, r, 3, i % 2 == 0 ? 'T' : 'F');
        since_text(i, text, sizeof text);
        DBFWriteStringAttribute(dbf, r, 4, text);
    }
    DBFClose(dbf);
    printf("%ld records appended\n", count);
    return 0;
}

int main(int argc, char **argv) {
    if (argc == 3 && strcmp(argv[1], "walk") == 0) return walk(argv[2]);
    if (argc == 4 && strcmp(argv[1], "append") == 0) return append(argv[2], atol(argv[3]));
    fprintf(stderr, "usage: shp_compare walk FILE | append FILE N\n");
    return 2;
}
