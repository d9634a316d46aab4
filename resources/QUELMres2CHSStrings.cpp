// String table of QUELMres2CHS, simplified Chinese (2052). One entry per line,
// sorted by identifier.
#include "resources/KResourceTables.h"

const KStringTableEntry kQUELMres2CHSStrings[] = {
    {24307, "分钟"},
    {24309, "不适用"},
    {24701, "单位与算术运算混用，含义不明确"},
    {24863, "增量"},
    {47670, "小时"},
    {47671, "天"},
    {47690, "秒"},
    {48154, "湿度"},
    {49706, "松弛系数"},
    {59136, "扩展"},
    {59137, "大写"},
    {59138, "数字"},
    {59139, "滚动"},
    {59140, "改写"},
    {59141, "录制"},
};
const int kQUELMres2CHSStringCount =
    static_cast<int>(sizeof(kQUELMres2CHSStrings) / sizeof(kQUELMres2CHSStrings[0]));
