#pragma once
#include <array>
#include <string>

// The numbered messages of the current language (0 to MsgCount - 1; numbers
// without a text are gaps), in UTF-8, empty
// until a language with a [MSG] section has been loaded. Looked up at the moment of
// use, so a text shown after a language change is in the new language.
constexpr int MsgCount = 69;
extern std::array<std::string, MsgCount> Msg;

// What each number says (the English text in brackets).
enum MsgId : int {
    MsgUndefinedNetwork = 0,  // "* Undefined network settings"
    MsgConnecting = 1,        // "* Connecting with"
    MsgConnected = 2,
    MsgSending = 3,           // "* Sending data..."
    MsgDataSent = 4,
    MsgReading = 5,           // "* Data reading..."
    MsgSocketNoMemory = 6,
    MsgConnectionError = 7,
    MsgStreamError = 8,
    MsgSendingError = 9,
    MsgSendTimeout = 10,
    MsgReadError = 11,        // "* Reading data error"
    MsgReadTimeout = 12,      // "* Reading data - timeout"
    MsgMemoryError = 13,      // "* Memory error"
    MsgCrcError = 14,         // "* CRC error"
    MsgInvalidCommand = 15,   // "* Invalid command"
    MsgFileOpenError = 16,    // 16 to 23: file open and save results
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
    MsgProducer = 38,         // "Polish manufacturer of LED displays"
    MsgAllRights = 39,        // "All rights reserved"
    MsgOpeningPort = 40,      // 40 to 43: the serial port's open and close lines
    MsgOpenedPort = 41,
    MsgClosingPort = 42,
    MsgClosedPort = 43,
    // The per-user store's file at start-up ("%1" its name, "%2" a size in MB).
    MsgStoreDamaged = 66,     // "The settings file could not be read. It has been kept as ..."
    MsgStoreTooLarge = 67,    // "The settings file is larger than %2 MB. ..."
    MsgStoreUnreadable = 68,  // "The settings file ... cannot be read or is not a regular file. ..."
};

class IniStore;

// Fills Msg from the [MSG] section of a language text, keys "0" up; a
// missing key gives "ERROR". A text without [MSG] leaves Msg as it is. The
// escapes "\r\n" and "\t" (either letter case) become a line break and a tab.
void LoadMessages(const IniStore& texts);
std::string UnescapeMessage(std::string text);
