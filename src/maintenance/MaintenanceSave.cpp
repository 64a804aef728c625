#include "maintenance/MaintenanceDialog.h"

#include "common/AppError.h"
#include "widgets/WaitCursor.h"
#include "data/BookQuery.h"
#include "data/BookTransaction.h"
#include "data/ywzxDM.h"

#include <QCoreApplication>

// The save protocol of both maintenance dialogs: the checks and their
// questions, the write in one transaction, and a new round when another
// program wrote in between.

bool MaintenanceDialog::checkFields(const SaveChecks &checks, bool addState)
{
    const QString code = checks.code->text();
    // A stored code kept as it was loaded (an imported "7]") is no typed code.
    const bool typed = addState || code != currentCode;
    const struct {
        bool failed;
        QLineEdit *field;
        const QString &message;
    } rules[] = {
        {code.isEmpty(), checks.code, checks.emptyCode},
        {typed && (code.contains(QLatin1Char('[')) || code.contains(QLatin1Char(']'))), checks.code,
         checks.bracketInCode},
        {checks.name->text().isEmpty(), checks.name, checks.emptyName},
        {checks.parent->text().isEmpty(), checks.parent, checks.emptyParent},
    };
    for (const auto &rule : rules) {
        if (rule.failed) {
            inputError(rule.message, rule.field);
            return false;
        }
    }
    return true;
}

bool MaintenanceDialog::checkCode(const SaveChecks &checks, bool addState)
{
    const BookQuery &found = checks.find(checks.code->text());
    const bool exists = !found.isEmpty();
    if (exists && addState) {
        inputError(checks.exists, checks.code);
        checks.code->clear();
        return false;
    }
    if (!exists && !addState) {
        checks.code->setText(currentCode);
        inputError(checks.missing, checks.code);
        return false;
    }
    if (!addState && checks.code->text() != currentCode
        && !confirm({checks.changed.value(0), checks.changed.value(1) + found.fieldAsText(checks.nameColumn),
                     checks.changed.value(2)})) {
        checks.code->setText(currentCode);
        checks.code->setFocus();
        return false;
    }
    if (changesLoadedRow(checks, addState) && !sameAsLoaded(found))
        return overwriteOthersChange(checks, found);
    return true;
}

bool MaintenanceDialog::overwriteOthersChange(const SaveChecks &checks, const BookQuery &stored)
{
    const QString who = stored.fieldAsText(QStringLiteral("xgr"));
    const QString when = stored.fieldAsText(QStringLiteral("xgrq"));
    const QString unknown = QCoreApplication::translate("MaintenanceDialog", "（未填写）");
    if (!confirm({QCoreApplication::translate("MaintenanceDialog", "系统检测到%1在您打开之后已被其他程序修改。").arg(checks.record),
                  QCoreApplication::translate("MaintenanceDialog", "修改员工：%1，修改日期：%2。")
                      .arg(who.isEmpty() ? unknown : who, when.isEmpty() ? unknown : when),
                  QCoreApplication::translate("MaintenanceDialog", "确定修改将覆盖其他程序所做的修改，您是否确定修改？")}))
        return false;
    // Consented: that version is the one this save replaces.
    rememberLoadedRow(stored);
    return true;
}

// The edit state writes the row the dialog loaded when the code is kept. A
// row that did not load (nothing shown) has nothing to compare.
bool MaintenanceDialog::changesLoadedRow(const SaveChecks &checks, bool addState) const
{
    return !addState && checks.code->text() == currentCode && !loadedRow_.isEmpty();
}

void MaintenanceDialog::rememberLoadedRow(const BookQuery &query)
{
    loadedRow_.clear();
    if (query.isEmpty())
        return;
    for (const QString &column : query.columnNames())
        loadedRow_.insert(column.toLower(), query.fieldValue(column));
}

bool MaintenanceDialog::sameAsLoaded(const BookQuery &stored) const
{
    for (const QString &column : stored.columnNames()) {
        const auto loaded = loadedRow_.constFind(column.toLower());
        if (loaded == loadedRow_.cend())
            continue;
        const QVariant now = stored.fieldValue(column);
        if (loaded->isNull() != now.isNull() || (!now.isNull() && *loaded != now))
            return false;
    }
    return true;
}

// Under the write lock: the code is still free (add state) or still taken
// (edit state), and the row being changed is still the one accepted.
bool MaintenanceDialog::stillAsChecked(const SaveChecks &checks, bool addState)
{
    const BookQuery &found = checks.find(checks.code->text());
    if (found.isEmpty() != addState)
        return false;
    return !changesLoadedRow(checks, addState) || sameAsLoaded(found);
}

bool MaintenanceDialog::save(const SaveChecks &checks, bool addState, const std::function<void()> &write)
{
    if (!checkFields(checks, addState))
        return false;
    // Each new round follows another program's write; it ends in a message,
    // a question, or the save.
    for (;;) {
        if (!checkCode(checks, addState))
            return false;
        const Outcome outcome = writeInTransaction(checks, addState, write);
        if (outcome != Outcome::Stale)
            return outcome == Outcome::Written;
    }
}

MaintenanceDialog::Outcome MaintenanceDialog::writeInTransaction(const SaveChecks &checks, bool addState,
                                                                 const std::function<void()> &write)
{
    BookTransaction transaction(ywzxDMF->ydconn);
    if (!stillAsChecked(checks, addState)) {
        transaction.rollback();
        return Outcome::Stale;
    }
    try {
        const WaitCursor wait; // a long text takes seconds to write and index
        write();
        transaction.commit();
    } catch (const AppError &error) {
        // A server book's unique codes refuse a code another station saved
        // since the check: reported as the check reports a taken code.
        if (error.kind() != AppError::DuplicateCode)
            throw;
        transaction.rollback();
        inputError(checks.exists, checks.code);
        checks.code->clear();
        return Outcome::Refused;
    }
    return Outcome::Written;
}
