#include "runtime_error.h"

#include "application.h"

#include <QCoreApplication>
#include <QMessageBox>

#include <new>
#include <stdexcept>

namespace runtime {

QString describeRuntimeError(std::exception_ptr error)
{
    QString what;
    QString detail;
    try {
        std::rethrow_exception(error);
    } catch (const std::out_of_range& e) {
        what = QStringLiteral("indice fuori intervallo");
        detail = QString::fromUtf8(e.what());
    } catch (const std::bad_alloc&) {
        what = QStringLiteral("memoria esaurita");
    } catch (const std::overflow_error& e) {
        what = QStringLiteral("overflow");
        detail = QString::fromUtf8(e.what());
    } catch (const std::range_error& e) {
        what = QStringLiteral("valore fuori intervallo");
        detail = QString::fromUtf8(e.what());
    } catch (const std::logic_error& e) {
        what = QStringLiteral("errore interno del programma");
        detail = QString::fromUtf8(e.what());
    } catch (const std::exception& e) {
        what = QStringLiteral("errore imprevisto");
        detail = QString::fromUtf8(e.what());
    } catch (...) {
        what = QStringLiteral("errore sconosciuto");
    }
    QString text = QStringLiteral("Errore di run-time: %1.").arg(what);
    if (!detail.isEmpty())
        text += QStringLiteral("\n\nDettagli: %1").arg(detail);
    return text;
}

void reportRuntimeErrorAndEnd(std::exception_ptr error)
{
    const QString text = describeRuntimeError(error) + QStringLiteral("\n\nIl programma verrà chiuso.");
    QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(), text, QMessageBox::Ok);
    box.setObjectName(QStringLiteral("runtimeError"));
    box.exec();
    endProgram(kRuntimeErrorStatus);
}

} // namespace runtime
