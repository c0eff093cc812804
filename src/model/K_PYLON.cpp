#include "model/K_PYLON.h"

#include "model/PylonFile.h"
#include "model/SessionStore.h"

K_PYLON::K_PYLON(RegStore* session) : session_(session)
{
    SetDefaults();
    LoadSession();
}

K_PYLON::K_PYLON(const K_PYLON& other) : session_(other.session_)
{
    AssignFields(other);
}

K_PYLON& K_PYLON::operator=(const K_PYLON& other)
{
    if (this != &other) {
        AssignFields(other);
        session_ = other.session_;
    }
    return *this;
}

K_PYLON::~K_PYLON()
{
    SaveSession();
}

void K_PYLON::SetDefaults()
{
    UseCOM = false;
    ComSpeed = 0;
    ComName.clear();
    NetSettings.clear();
    for (int i = 0; i < 7; ++i) {
        Prices[i] = K_PRICE{};
        Prices[i].Name = DefaultName(i + 1);
    }
    Conf = K_PYLON_CONF{};
    UseGamma = false;
    FontConf = K_FONT_CONF{};
    DOMS = false;
}

std::string K_PYLON::DefaultName(int line)
{
    return "Nazwa " + std::to_string(line);
}

void K_PYLON::AssignFields(const K_PYLON& o)
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

bool K_PYLON::SameFields(const K_PYLON& o) const
{
    return UseCOM == o.UseCOM && ComSpeed == o.ComSpeed && ComName == o.ComName &&
           NetSettings == o.NetSettings && Prices == o.Prices && Conf == o.Conf &&
           UseGamma == o.UseGamma && FontConf == o.FontConf && DOMS == o.DOMS;
}

int K_PYLON::SaveToFile(const std::string& fileName, K_FILE& header) const
{
    return PylonFile::Save(*this, fileName, header);
}

int K_PYLON::LoadFromFile(const std::string& fileName, K_FILE& header)
{
    return PylonFile::Load(*this, fileName, header);
}

void K_PYLON::SaveSession() const
{
    if (session_) SessionStore::Save(*this, *session_);
}

void K_PYLON::LoadSession()
{
    if (session_) SessionStore::Load(*this, *session_);
}
