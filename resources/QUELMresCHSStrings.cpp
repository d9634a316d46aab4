// String table of QUELMresCHS, simplified Chinese (2052). One entry per line,
// sorted by identifier. The application title stays untranslated: it is also
// the registry key name, which must not change with the language.
#include "resources/KResourceTables.h"

const KStringTableEntry kQUELMresCHSStrings[] = {
    {10034, "全部"},
    {10205, "文件名太长。"},
    {10597, "表达式 \"%s\" 中除数为零"},
    {10877, "该文件为只读文件。请另选一个名称。"},
    {12104, "文件名无效。"},
    {12358, "荷载工况"},
    {12488, "网格"},
    {12789, "文件对话框内存不足或发生内部错误。"},
    {12791, "无"},
    {12896, "文件已存在。是否替换？"},
    {14112, "表达式 \"%s\" 中有语法错误"},
    {14368, "文件对话框失败。"},
    {14375, "未定义的名称 \"%s\""},
    {47555, "几何"},
    {0xE000, "quelmhost"},
    {61000, "版本"},
    {61001, "用户界面语言"},
    {61002, "资源库"},
    {61003, "设置"},
    {61004, "按回车键关闭"},
    {61005, "注册表项"},
    {61006, "启动摘要"},
};
const int kQUELMresCHSStringCount = static_cast<int>(sizeof(kQUELMresCHSStrings) / sizeof(kQUELMresCHSStrings[0]));
