#pragma once

#include <QString>

namespace AppInfo {

inline const QString Title = QStringLiteral("墨川电子阅读系统");

} // namespace AppInfo
