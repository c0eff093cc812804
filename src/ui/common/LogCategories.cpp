#include "ui/common/LogCategories.h"

#include <QString>

#include "log/Log.h"

Q_LOGGING_CATEGORY(lcComm, "lumarq.comm", QtInfoMsg)
Q_LOGGING_CATEGORY(lcStore, "lumarq.store", QtInfoMsg)
Q_LOGGING_CATEGORY(lcFile, "lumarq.file", QtInfoMsg)

namespace {

const QLoggingCategory& CategoryOf(Log::Category category)
{
    switch (category) {
    case Log::Category::Comm: return lcComm();
    case Log::Category::Store: return lcStore();
    case Log::Category::File: break;
    }
    return lcFile();
}

QtMsgType TypeOf(Log::Level level)
{
    switch (level) {
    case Log::Level::Debug: return QtDebugMsg;
    case Log::Level::Info: return QtInfoMsg;
    case Log::Level::Warning: break;
    }
    return QtWarningMsg;
}

bool Enabled(Log::Category category, Log::Level level) { return CategoryOf(category).isEnabled(TypeOf(level)); }

void Write(Log::Category category, Log::Level level, std::string_view line)
{
    const QLoggingCategory& c = CategoryOf(category);
    const QString text = QString::fromUtf8(line.data(), qsizetype(line.size()));
    switch (level) {
    case Log::Level::Debug: qCDebug(c).noquote() << text; break;
    case Log::Level::Info: qCInfo(c).noquote() << text; break;
    case Log::Level::Warning: qCWarning(c).noquote() << text; break;
    }
}

const Log::Sink QtSink{&Enabled, &Write};

}  // namespace

void InstallQtLogSink() { Log::SetSink(&QtSink); }
