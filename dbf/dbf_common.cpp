#include "dbf/dbf_common.h"
