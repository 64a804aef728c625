#include "common/Handlers.h"

#include "common/AppError.h"
#include "common/MessageBoxes.h"

#include <exception>

namespace Handlers {

void reportCurrentError()
{
    try {
        throw;
    } catch (const AppError &error) {
        MessageBoxes::generalError(error.message());
    } catch (const std::exception &error) {
        MessageBoxes::generalError(QString::fromUtf8(error.what()));
    } catch (...) {
        MessageBoxes::generalError(QStringLiteral("未知错误"));
    }
}

} // namespace Handlers
