#include "picture/codec_table.h"
#include "picture/codecs/decoders.h"

extern "C" __attribute__((visibility("default"))) const CodecTable* pixaltoCodecTable()
{
    static_assert(std::is_same_v<decltype(&pixaltoCodecTable), CodecTableEntry>);
    static const CodecTable table{heifCanRead, heifSize, heifRead, jxlCanRead, jxlSize, jxlRead};
    return &table;
}
