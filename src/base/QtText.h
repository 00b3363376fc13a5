#pragma once
// Text between the core and the widgets: the core keeps Latin-1, as the log files and the
// branding file hold it.

#include <QString>
#include <string>

namespace velkor {

inline QString fromCore(const std::string& text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

inline std::string toCore(const QString& text) {
    return text.toLatin1().toStdString();
}

}  // namespace velkor
