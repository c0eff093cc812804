#include "model/PylonConfig.h"

#include "model/PylonFile.h"
#include "model/SessionStore.h"

PylonConfig::PylonConfig(RegStore* session) : session_(session)
{
    SetDefaults();
    LoadSession();
}

PylonConfig::PylonConfig(const PylonConfig& other) : session_(other.session_) { AssignFields(other); }

PylonConfig& PylonConfig::operator=(const PylonConfig& other)
{
    if (this != &other) {
        AssignFields(other);
        session_ = other.session_;
    }
    return *this;
}

PylonConfig::~PylonConfig() { SaveSession(); }

void PylonConfig::SetDefaults()
{
    UseCOM = false;
    ComSpeed = 0;
    ComName.clear();
    NetSettings.clear();
    for (int i = 0; i < 7; ++i) {
        Prices[i] = PriceLine{};
        Prices[i].Name = DefaultName(i + 1);
    }
    Conf = BrightnessSettings{};
    UseGamma = false;
    FontConf = FontSettings{};
    DOMS = false;
}

std::string PylonConfig::DefaultName(int line) { return "Nazwa " + std::to_string(line); }

void PylonConfig::AssignFields(const PylonConfig& o)
{
    UseCOM = o.UseCOM;
    ComSpeed = o.ComSpeed;
    ComName = o.ComName;
    NetSettings = o.NetSettings;
    Prices = o.Prices;
    Conf = o.Conf;
    UseGamma = o.UseGamma;
    FontConf = o.FontConf;
    DOMS = o.DOMS;
}

bool PylonConfig::SameFields(const PylonConfig& o) const
{
    return UseCOM == o.UseCOM && ComSpeed == o.ComSpeed && ComName == o.ComName && NetSettings == o.NetSettings &&
           Prices == o.Prices && Conf == o.Conf && UseGamma == o.UseGamma && FontConf == o.FontConf && DOMS == o.DOMS;
}

int PylonConfig::SaveToFile(const std::string& fileName, FileHeader& header) const
{
    return PylonFile::Save(*this, fileName, header);
}

int PylonConfig::LoadFromFile(const std::string& fileName, FileHeader& header)
{
    return PylonFile::Load(*this, fileName, header);
}

void PylonConfig::SaveSession() const
{
    if (session_) SessionStore::Save(*this, *session_);
}

void PylonConfig::LoadSession()
{
    if (session_) SessionStore::Load(*this, *session_);
}
