// lmq-send-probe PORT: the main window's Send of the README's sample
// configuration over the serial port PORT, with the progress log on standard
// output and no pauses. Built for Linux and for Windows, so that the bytes
// both put on the line can be compared. Exit status 0 when the pylon took all.
#include <cstdio>
#include <string>

#include "app/SampleConfiguration.h"
#include "comm/ConfigTransfer.h"
#include "comm/K_CONNECTION.h"
#include "comm/ProgressLog.h"
#include "comm/TComPort.h"
#include "comm/Waiter.h"
#include "lang/IniStore.h"
#include "lang/LanguageTexts.h"
#include "lang/Msg.h"
#include "model/K_PYLON.h"

namespace {

class StdoutLog : public ProgressLog {
public:
    void ShowLog() override {}
    void CloseLog() override {}
    void AppendLine(const std::string& line) override
    {
        std::printf("%s\n", line.c_str());
        last = line;
    }
    std::string last;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: lmq-send-probe PORT\n");
        return 2;
    }
    IniStore texts;
    texts.SetText(*BuiltinLanguageText("EN"));
    LoadMessages(texts);
    K_PYLON model;
    sample::Fill(model);
    model.UseCOM = true;
    model.ComName = argv[1];
    model.ComSpeed = TComPort::br9600;
    K_CONNECTION link("0.0.0.0", 2101);
    TComPort port;
    StdoutLog log;
    RecordingWaiter waiter;
    bool failed = false;
    PylonCommandEnv env{model, link, port, log, waiter,
                        [&](const std::string& text, int) { std::fprintf(stderr, "%s\n", text.c_str()); failed = true; },
                        [&](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); failed = true; },
                        [](const K_PYLON&) {}};
    ConfigTransfer(env).Send();
    port.Close();
    return !failed && waiter.waits == std::vector<int>{ConfigTransfer::SuccessWait} ? 0 : 1;
}
