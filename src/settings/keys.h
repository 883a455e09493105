#pragma once
#include <QString>

// Every key of the settings store, in one place. The store matches names
// without regard to letter case, so these spellings are the ones written.
namespace Keys {
inline const QString AppPath = QStringLiteral("AppPath");
inline const QString EXEName = QStringLiteral("EXEName");
inline const QString Version = QStringLiteral("Version");
inline const QString User = QStringLiteral("User");
inline const QString UserReq = QStringLiteral("UserReq");
inline const QString AutoZoom = QStringLiteral("AutoZoom");
inline const QString AutoSkip = QStringLiteral("AutoSkip");
inline const QString DelConfirmation = QStringLiteral("DelConfirmation");
inline const QString MoveConfirmation = QStringLiteral("MoveConfirmation");
inline const QString OnTop = QStringLiteral("OnTop");
inline const QString Systray = QStringLiteral("Systray");
inline const QString OLE = QStringLiteral("OLE");
inline const QString SystrayLoaded = QStringLiteral("SystrayLoaded");
inline const QString SpcSetting = QStringLiteral("SpcSetting");
inline const QString PicPattern = QStringLiteral("PicPattern");
inline const QString AniPattern = QStringLiteral("AniPattern");
// Each directory key goes by two spellings, one key in the store: start-up
// reads "startupdir" and "defaultcopydir", the directory commands write
// "Startupdir" and "defaultcopydir", the DIR browser reads "Startupdir" and
// "Defaultcopydir".
inline const QString startupdir = QStringLiteral("startupdir");
inline const QString Startupdir = QStringLiteral("Startupdir");
inline const QString defaultcopydir = QStringLiteral("defaultcopydir");
inline const QString Defaultcopydir = QStringLiteral("Defaultcopydir");
inline const QString AutoSkipInterval = QStringLiteral("AutoSkipInterval");
}
