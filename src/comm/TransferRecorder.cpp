#include "comm/TransferRecorder.h"

#include "comm/Frames.h"

std::string StepName(const TransferStep& step)
{
    switch (step.kind) {
    case TransferStep::Kind::Connect: return "connect";
    case TransferStep::Kind::Header: return "header " + std::to_string(step.command);
    case TransferStep::Kind::Block:
    case TransferStep::Kind::ReadBlock:
        switch (step.command) {
        case Frames::CmdSendDigits: return "digits";
        case Frames::CmdSendLineSettings: return "line settings";
        case Frames::CmdSendFonts: return "fonts";
        case Frames::CmdReadPriceBlock: return "price block";
        case Frames::CmdReadFontBlock: return "font block";
        case Frames::CmdServiceSettings: return "settings";
        case Frames::CmdServiceTest: return "test code";
        default: break;
        }
        return "block " + std::to_string(step.command);
    }
    return "step";
}
