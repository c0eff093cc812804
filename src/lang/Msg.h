#pragma once
#include <array>
#include <string>

// The numbered messages of the current language (a number without a text
// reads "ERROR"), in UTF-8, empty until a language with a [MSG] section has
// been loaded. Looked up at the moment of use, so a text shown after a
// language change is in the new language.
constexpr int MsgCount = 90;
extern std::array<std::string, MsgCount> Msg;

// What each number says (the English text in brackets).
enum MsgId : int {
    MsgUndefinedNetwork = 0,  // "* Undefined network settings"
    MsgConnecting = 1,        // "* Connecting with"
    MsgConnected = 2,
    MsgSending = 3,  // "* Sending data..."
    MsgDataSent = 4,
    MsgReading = 5,  // "* Data reading..."
    MsgSocketNoMemory = 6,
    MsgConnectionError = 7,
    MsgStreamError = 8,
    MsgSendingError = 9,
    MsgSendTimeout = 10,
    MsgReadError = 11,       // "* Reading data error"
    MsgReadTimeout = 12,     // "* Reading data - timeout"
    MsgMemoryError = 13,     // "* Memory error"
    MsgCrcError = 14,        // "* CRC error"
    MsgInvalidCommand = 15,  // "* Invalid command"
    MsgFileOpenError = 16,   // 16 to 23: file open and save results
    MsgFileSaveError = 23,
    MsgSaveTitle = 24,        // "Save file as..."
    MsgOpenTitle = 25,        // "Open file..."
    MsgFileFilter = 26,       // "Lumarq Pylon files (*.lmqpyl)|*.lmqpyl"
    MsgDefaultFileName = 27,  // "Pylon1.lmqpyl"
    MsgOk = 28,               // "OK"
    MsgHeadings = 29,         // 29 to 32: Name, IP, Port, State
    MsgActive = 33,
    MsgInactive = 34,
    MsgIpExists = 35,
    MsgWrongPassword = 36,
    MsgProducer = 38,     // "Polish manufacturer of LED displays"
    MsgAllRights = 39,    // "All rights reserved"
    MsgOpeningPort = 40,  // 40 to 43: the serial port's open and close lines
    MsgOpenedPort = 41,
    MsgClosingPort = 42,
    MsgClosedPort = 43,
    MsgHistoryNotWritten = 44,  // "* The send history could not be written"
    MsgHistoryMovedAside = 45,  // "* The damaged send history was moved to" + the new name
    MsgHistoryHeadings = 46,    // 46 to 50: Time, Pylon, Action, Result, Prices
    MsgHistoryAllPylons = 51,
    MsgHistoryAllResults = 52,
    MsgHistorySucceeded = 53,
    MsgHistoryFailed = 54,
    MsgHistoryActions = 55,      // 55 to 58: Send, Download, Pylon geometry, Display test
    MsgHistoryExportTitle = 59,  // "Export send history"
    MsgHistoryCsvFilter = 60,    // "CSV files (*.csv)|*.csv"
    MsgHistoryCsvName = 61,      // "history.csv"
    MsgHistoryExportError = 62,  // "The file could not be written"
    MsgHistoryRecords = 63,      // "Records:"
    MsgHistoryCannotOpen = 64,   // "The send history cannot be opened"
    // The per-user store's file at start-up ("%1" its name, "%2" a size in MB).
    MsgStoreDamaged = 66,       // "The settings file could not be read. It has been kept as ..."
    MsgStoreTooLarge = 67,      // "The settings file is larger than %2 MB. ..."
    MsgStoreUnreadable = 68,    // "The settings file ... cannot be read or is not a regular file. ..."
    MsgTransferCancelled = 70,  // "* Transfer cancelled"
    MsgVerified = 75,           // "* Verified: the pylon holds what was sent"
    MsgVerifyReadFailed = 76,   // "* Not verified: the configuration could not be read back from the pylon"
    MsgVerifyLine = 77,         // "Line %1: sent %2, pylon holds %3"
    MsgVerifyField = 78,        // "%1: sent %2, pylon holds %3"
    MsgVerifyWords = 79,        // the field and flag names of 77 and 78, separated by "|"
    MsgDigitName = 80,          // "Line %1, digit %2: %3": a digit read out
    MsgDigitsHelp = 81,         // how the digit display takes keys
    MsgNameName = 82,           // "Line %1: name"
    MsgLineName = 83,           // "Line %1"
    MsgDigitBlank = 84,         // "blank"
    MsgDigitDash = 85,          // "dash"
};

class IniStore;

// Fills Msg from the [MSG] section of a language text, keys "0" to MsgCount - 1; a
// missing key gives "ERROR". A text without [MSG] leaves Msg as it is. The
// escapes "\r\n" and "\t" (either letter case) become a line break and a tab.
void LoadMessages(const IniStore& texts);
std::string UnescapeMessage(std::string text);
