#include "handlerguard.h"

#include <stdexcept>

#include "database.h"
#include "fileerror.h"
#include "msgbox.h"
#include "numbers.h"
#include "tariffdb.h"

namespace {
constexpr int kErrInvalidCall = 5;

void ShowError(const std::exception& e) {
    const bool engine = dynamic_cast<const DbError*>(&e) != nullptr;
    ShowMessage(QString::fromStdString(e.what()), kMsgOK,
                engine ? QStringLiteral("Database Error") : QStringLiteral("Tariff Data Error"));
}
}  // namespace

bool RunHandler(const std::function<void()>& body) {
    return RunHandler(body, ShowError);
}

bool RunHandler(const std::function<void()>& body, const HandlerReport& report) {
    try {
        body();
        return true;
    } catch (const std::exception& e) {
        report(e);
    } catch (...) {
        report(std::runtime_error("An unexpected error stopped this command."));
    }
    return false;
}

bool RunHandlerAtomically(const std::function<void()>& body, const std::function<void()>& undo) {
    return RunHandlerAtomically(body, undo, ShowError);
}

bool RunHandlerAtomically(const std::function<void()>& body, const std::function<void()>& undo,
                          const HandlerReport& report) {
    const auto inOneTransaction = [&] {
        Database* db = tariff.gDB.get();
        if (!db || !db->IsOpen()) return body();
        bool begun = false;
        try {
            // Refused when another program holds the database: the body never runs, but what
            // led to it (a click in a list) is taken back all the same.
            db->BeginTrans();
            begun = true;
            body();
            db->CommitTrans();
        } catch (...) {
            try {
                if (begun) db->Rollback();
            } catch (const std::exception&) {
                // The engine has ended the transaction itself; nothing of it stays either way.
            }
            if (undo) undo();
            throw;
        }
    };
    return RunHandler(inOneTransaction, report);
}

int ErrorNumber(const std::exception& e) {
    if (auto* db = dynamic_cast<const DbError*>(&e)) return db->number();
    if (auto* file = dynamic_cast<const FileError*>(&e)) return file->number();
    if (auto* number = dynamic_cast<const NumberError*>(&e)) return number->number();
    return kErrInvalidCall;
}

std::string ErrorReport(const std::exception& e) {
    return "Error " + std::to_string(ErrorNumber(e)) + "\n" + e.what();
}
