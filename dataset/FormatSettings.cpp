#include "dataset/FormatSettings.h"

namespace ds {

TFormatSettings& FormatSettings() {
    static TFormatSettings settings;
    return settings;
}

}  // namespace ds
