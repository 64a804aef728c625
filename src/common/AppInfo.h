#pragma once

#include <QString>
#include <QCoreApplication>

namespace AppInfo {

inline QString Title() { return QCoreApplication::translate("AppInfo", "墨川电子阅读系统"); }

} // namespace AppInfo
