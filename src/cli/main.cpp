// pylonctl: the command line of Lumarq Pylon, for back-office scripts and
// scheduled price changes. The same core as the window: the configuration
// file, the price line editor's rules, the frames, the link, the serial port
// and the Send and Download sequences.
#include <cstdio>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/Commands.h"
#include "cli/Progress.h"
#include "cli/Transfer.h"
#include "model/Version.h"

namespace {

const char* const ExitCodes = "Exit codes (of several, the highest applies):\n"
                              "  0  every target succeeded (and verified, with --verify)\n"
                              "  1  usage error: a wrong option, target or value\n"
                              "  2  a configuration file could not be read or written\n"
                              "  3  a target could not be reached\n"
                              "  4  a pylon refused or replied wrongly\n"
                              "  5  verification found differences\n";

const char* const Targets = "TARGET is IP[:PORT] (port 2101 by default), serial:NAME[@BAUD] (NAME as in /dev,\n"
                            "or a path; 9600 baud by default), or --network for the active pylons of the\n"
                            "file's own list. Several targets are served one after the other.\n";

// The options every command takes, after the command as well as before it.
void AddCommon(CLI::App& app, Options& o)
{
    app.add_flag("-q,--quiet", o.quiet, "No progress lines; results only of targets that failed");
    app.add_flag("--json", o.json, "Results as JSON, one object per line and target (see pylonctl(1))");
    app.add_option("--lang", o.lang, "Language of the progress lines: PL, EN, HU or DE")
        ->check(CLI::IsMember({"PL", "EN", "HU", "DE"}, CLI::ignore_case));
}

// Adds an option of the line opened by the last --line.
template <typename F>
void LineOption(CLI::App& cmd, SetArgs& a, std::string& error, const std::string& name, const std::string& help,
                F apply)
{
    cmd.add_option_function<std::string>(
           name,
           [&a, &error, name, apply](const std::string& v) {
               if (a.edits.lines.empty()) {
                   if (error.empty()) error = name + " belongs to a line: give --line N before it";
                   return;
               }
               apply(a.edits.lines.back(), v);
           },
           help)
        ->trigger_on_parse()
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

void LineFlag(CLI::App& cmd, SetArgs& a, std::string& error, const std::string& on, const std::string& off,
              std::optional<bool> LineEdit::*field, const std::string& help)
{
    for (const bool value : {true, false}) {
        const std::string name = value ? on : off;
        const std::string other = value ? off : on;
        cmd.add_flag_callback(
               name,
               [&a, &error, field, value, name, other] {
                   if (a.edits.lines.empty()) {
                       if (error.empty()) error = name + " belongs to a line: give --line N before it";
                       return;
                   }
                   LineEdit& e = a.edits.lines.back();
                   if ((e.*field).has_value() && *(e.*field) != value && error.empty())
                       error = name + " and " + other + " contradict each other (line " + std::to_string(e.line) + ")";
                   e.*field = value;
               },
               value ? help : "The opposite of " + on)
            ->trigger_on_parse();
    }
}

}  // namespace

int main(int argc, char** argv)
{
    Options o;
    CLI::App app{"pylonctl: shows and edits Lumarq Pylon configuration files, sends them to pylons,\n"
                 "downloads and verifies what the pylons hold, and lists the send history.",
                 "pylonctl"};
#ifdef LMQ_NO_HISTORY
    // The Windows build is made without SQLite.
    const std::string builtWithout = ", without the send history";
#else
    const std::string builtWithout;
#endif
    app.set_version_flag("--version", "pylonctl " + ProgramVersionText() + " (file version " + ProgramFileVersion() +
                                          builtWithout + ")");
    app.footer(std::string("\n") + Targets + "\n" + ExitCodes);
    app.require_subcommand(1);
    AddCommon(app, o);

    // ---- show
    std::string showFile;
    CLI::App* show = app.add_subcommand("show", "The seven lines as the sign shows them, brightness, gamma, "
                                                "fonts and the pylon list of a file");
    show->add_option("FILE", showFile, "A configuration file (.lmqpyl)")->required();

    // ---- set
    SetArgs setArgs;
    std::string setError;
    CLI::App* set = app.add_subcommand("set", "Edits a file with the rules of the window's price lines");
    set->add_option("FILE", setArgs.file, "The configuration file to edit (with --new: to write)")->required();
    set->add_option("-o,--output", setArgs.out, "Write the result here instead of FILE");
    set->add_flag("--new", setArgs.fresh, "Start from the defaults instead of reading FILE");
    set->add_option_function<int>(
           "--line",
           [&](const int& n) {
               LineEdit e;
               e.line = n;
               setArgs.edits.lines.push_back(e);
           },
           "Line 1 to 7 that the options after it change (repeatable)")
        ->trigger_on_parse()
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    LineOption(*set, setArgs, setError, "--price", "The price, such as 6.49, at the line's point (or --point)",
               [](LineEdit& e, const std::string& v) { e.price = v; });
    LineOption(*set, setArgs, setError, "--digits", "The six digits as they stand, such as 000649",
               [](LineEdit& e, const std::string& v) { e.digits = v; });
    LineOption(*set, setArgs, setError, "--point", "Digits after the decimal point, 0 to 5",
               [&setError](LineEdit& e, const std::string& v) {
                   if (v.size() == 1 && v[0] >= '0' && v[0] <= '9') e.point = v[0] - '0';
                   else if (setError.empty())
                       setError = "--point " + v + ": a line shows 0 to 5 digits after the point";
               });
    LineOption(*set, setArgs, setError, "--name", "The product name, at most 20 characters of Windows-1250",
               [](LineEdit& e, const std::string& v) { e.name = v; });
    LineFlag(*set, setArgs, setError, "--off", "--on", &LineEdit::off, "Switch the line off (blank)");
    LineFlag(*set, setArgs, setError, "--dash", "--no-dash", &LineEdit::dash, "Show dashes instead of the price");
    LineFlag(*set, setArgs, setError, "--blink", "--no-blink", &LineEdit::blink, "Blink the line");
    LineFlag(*set, setArgs, setError, "--zeros", "--no-zeros", &LineEdit::zerosOff,
             "Leading zeros removed (--no-zeros: shown)");
    set->add_option("--brightness", setArgs.edits.brightness,
                    "Left, right and without-sensor brightness, "
                    "percent 1 to 100: L,R,S");
    set->add_option("--gamma", setArgs.edits.gamma, "Gamma 0.1 to 3.0, and the brightness sensor on");
    set->add_flag("--no-gamma", setArgs.edits.noGamma, "The brightness sensor and gamma off");
    std::string setFont;
    set->add_option("--font", setFont, "Refused: the configuration file holds no fonts (send --font B,U)");

    // ---- send, download, verify
    TransferArgs sendArgs, downloadArgs, verifyArgs;
    CLI::App* send = app.add_subcommand("send", "Sends a file's configuration to pylons, as the window's Send");
    send->add_option("FILE", sendArgs.file, "The configuration file")->required();
    send->add_option("TARGET", sendArgs.targets, "IP[:PORT] or serial:NAME[@BAUD]");
    send->add_flag("--network", sendArgs.network, "The active pylons of the file's list");
    send->add_flag("--verify", sendArgs.verify, "Read the configuration back and compare it");
    send->add_option("--font", sendArgs.font,
                     "The font block to send: basic font 0 to 9, upper index 0 to 2 (B,U); "
                     "without it 3,0 as every file opens");

    CLI::App* download = app.add_subcommand("download", "Reads a pylon's configuration into a file, as the "
                                                        "window's Download");
    download->add_option("TARGET", downloadArgs.targets, "IP[:PORT] or serial:NAME[@BAUD]");
    download->add_option("-o,--output", downloadArgs.out, "The file to write")->required();
    download->add_option("--base", downloadArgs.base,
                         "Take the names, the pylon list and the serial port from this "
                         "file (otherwise the defaults)");
    download->add_flag("--network", downloadArgs.network, "Refused: download reads one pylon");

    CLI::App* verify = app.add_subcommand("verify", "Downloads from pylons and compares with a file; sends nothing");
    verify->add_option("FILE", verifyArgs.file, "The configuration file")->required();
    verify->add_option("TARGET", verifyArgs.targets, "IP[:PORT] or serial:NAME[@BAUD]");
    verify->add_flag("--network", verifyArgs.network, "The active pylons of the file's list");
    verify->add_option("--font", verifyArgs.font, "The font block expected (B,U); without it 3,0 as every file opens");

    // ---- history
    HistoryArgs historyArgs;
    CLI::App* history = app.add_subcommand("history", "Lists the send history of this machine");
    history->add_option("--since", historyArgs.since, "From this day or moment on (YYYY-MM-DD[ HH:MM[:SS]])");
    history->add_option("--until", historyArgs.until, "Up to this day or moment (a day includes all of it)");
    history->add_option("--target", historyArgs.target, "Only this target (as the history names it)");
    history->add_flag("--failed", historyArgs.failed, "Only the transfers that failed");
    history->add_flag("--csv", historyArgs.csv, "Comma-separated values with a heading line");

    for (CLI::App* cmd : {show, set, send, download, verify, history}) {
        cmd->fallthrough();
        cmd->footer(std::string("\n") + (cmd == show || cmd == set || cmd == history ? "" : Targets) + ExitCodes);
    }

    // A misspelt command would otherwise read as a missing one.
    if (argc > 1 && argv[1][0] != '-') {
        bool known = false;
        for (CLI::App* cmd : {show, set, send, download, verify, history}) known = known || cmd->check_name(argv[1]);
        if (!known) {
            Complain(std::string("unknown command '") + argv[1] +
                     "': show, set, send, download, verify or history (see pylonctl --help)");
            return ExitUsage;
        }
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        Complain(std::string(e.what()) + " (see pylonctl --help)");
        return ExitUsage;
    }
    if (!setError.empty()) {
        Complain(setError);
        return ExitUsage;
    }
    if (set->parsed() && !setFont.empty()) {
        Complain("--font: the configuration file holds no fonts (every file opens with 3,0); "
                 "give --font B,U to send");
        return ExitUsage;
    }
    if (!LoadLanguage(o.lang)) {
        Complain("--lang " + o.lang + ": PL, EN, HU or DE");
        return ExitUsage;
    }

    try {
        if (show->parsed()) return ShowCommand(o, showFile);
        if (set->parsed()) return SetCommand(o, setArgs);
        if (send->parsed()) return SendCommand(o, sendArgs);
        if (download->parsed()) return DownloadCommand(o, downloadArgs);
        if (verify->parsed()) return VerifyCommand(o, verifyArgs);
        if (history->parsed()) return HistoryCommand(o, historyArgs);
    } catch (const std::exception& e) {
        Complain(e.what());
        return ExitUsage;
    }
    return ExitUsage;
}
