#include "ui/platform/fonts.h"

#include <QFont>
#include <QStringList>

void RegisterFontSubstitutions()
{
    const QStringList serif = {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN"),
                               QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei")};
    const QStringList sans = {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei"),
                              QStringLiteral("Droid Sans Fallback")};
    // Brush faces look nearest a brush face when one is installed.
    const QStringList brush = QStringList{QStringLiteral("AR PL UKai CN"), QStringLiteral("AR PL KaitiM GB")} + serif;
    for (const char16_t* name : {u"宋体", u"仿宋", u"新宋体", u"SimSun"})
        QFont::insertSubstitutions(QString::fromUtf16(name), serif);
    for (const char16_t* name : {u"隶书", u"楷体", u"LiSu", u"KaiTi"})
        QFont::insertSubstitutions(QString::fromUtf16(name), brush);
    for (const char16_t* name : {u"黑体", u"微软雅黑", u"幼圆", u"SimHei", u"Microsoft YaHei"})
        QFont::insertSubstitutions(QString::fromUtf16(name), sans);
}
