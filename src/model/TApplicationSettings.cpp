#include "model/TApplicationSettings.h"

#include "model/RegStore.h"

TApplicationSettings::TApplicationSettings(RegStore* store) : store_(store)
{
    LoadSettings();
}

TApplicationSettings::~TApplicationSettings()
{
    SaveSettings();
}

void TApplicationSettings::LoadSettings()
{
    if (!store_ || !store_->KeyExists(ConfigKey)) return;
    auto v = store_->ReadValue(ConfigKey, "LangId");
    LangId = v && v->type == RegValue::Type::String ? v->text : std::string();
}

void TApplicationSettings::SaveSettings()
{
    if (!store_ || !store_->CreateKey(ConfigKey)) return;
    store_->WriteValue(ConfigKey, "LangId", RegValue::String(LangId));
    store_->Commit();
}
