#include "ui/main/StoreWarning.h"

#include "lang/Msg.h"
#include "model/RegFileStore.h"
#include "ui/lang/MessageBoxes.h"
#include "ui/lang/QtText.h"

QString StoreTroubleText(const StoreTrouble& trouble)
{
    switch (trouble.kind) {
    case StoreTrouble::Kind::None: return {};
    case StoreTrouble::Kind::Damaged: return MsgText(MsgStoreDamaged).replace("%1", ToQString(trouble.aside));
    case StoreTrouble::Kind::TooLarge:
        return MsgText(MsgStoreTooLarge)
            .replace("%1", ToQString(trouble.aside))
            .replace("%2", QString::number(RegFileStore::MaxFileSize >> 20));
    case StoreTrouble::Kind::Unreadable: return MsgText(MsgStoreUnreadable).replace("%1", ToQString(trouble.path));
    }
    return {};
}

void TellStoreTrouble(const StoreTrouble& trouble)
{
    const QString text = StoreTroubleText(trouble);
    if (!text.isEmpty()) ShowWarningBox(text, MB_ICONEXCLAMATION);
}
