#pragma once

#include <QString>

// What makes two files the same book on two computers, wherever each keeps
// it and whatever it is called: the size and a hash of the first and last
// 64 KiB. Reading 128 KiB is quick even for a 100 MB book. Empty when the
// file cannot be read.
QString BookKeyOfFile(const QString& path);
