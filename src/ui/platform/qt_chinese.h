#pragma once

class QTranslator;

// Installs Qt's own Chinese texts (qtbase_zh_CN.qm from Qt's translations
// folder), so standard dialogs and buttons read 打开, 取消, 确定, 是, 否.
// Returns the installed translator, owned by the application object, or
// null when the file is not installed (Qt's English texts stay).
QTranslator* InstallQtChinese();
