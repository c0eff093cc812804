#include "model/ApplicationSettings.h"

#include "model/RegStore.h"

ApplicationSettings::ApplicationSettings(RegStore* store) : store_(store) { LoadSettings(); }

ApplicationSettings::~ApplicationSettings() { SaveSettings(); }

void ApplicationSettings::LoadSettings()
{
    if (!store_ || !store_->KeyExists(ConfigKey)) return;
    auto v = store_->ReadValue(ConfigKey, "LangId");
    LangId = v && v->type == RegValue::Type::String ? v->text : std::string();
}

void ApplicationSettings::SaveSettings()
{
    if (!store_ || !store_->CreateKey(ConfigKey)) return;
    store_->WriteValue(ConfigKey, "LangId", RegValue::String(LangId));
    store_->Commit();
}
