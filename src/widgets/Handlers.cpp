#include "widgets/Handlers.h"

#include "common/AppError.h"
#include "widgets/MessageBoxes.h"

#include <exception>
#include <QCoreApplication>

namespace Handlers {

void reportCurrentError()
{
    try {
        throw;
    } catch (const AppError &error) {
        MessageBoxes::generalError(error.message());
    } catch (const std::exception &error) {
        // A library's own words, after a sentence the reader can read.
        MessageBoxes::generalError(QCoreApplication::translate("Handlers", "程序内部出错：%1").arg(QString::fromUtf8(error.what())));
    } catch (...) {
        MessageBoxes::generalError(QCoreApplication::translate("Handlers", "未知错误"));
    }
}

} // namespace Handlers
