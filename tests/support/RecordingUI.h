// An IConversionUI that answers the prompt as told and records every call.
#pragma once

#include "conversion/ConversionUI.h"

#include <functional>
#include <string>
#include <vector>

namespace velmora::support {

class TRecordingUI : public IConversionUI {
public:
    std::string Answer;
    std::vector<std::string> Calls;
    std::vector<std::string> Messages;
    // Runs at every repaint of the progress window (before each message).
    std::function<void(int position)> OnRepaintProgress;

    std::string InputBox(const std::string& caption, const std::string& prompt,
                         const std::string& defaultText) override {
        Calls.push_back("InputBox " + caption + "|" + prompt + "|" + defaultText);
        return Answer;
    }
    void ShowMessage(const std::string& text) override {
        Calls.push_back("ShowMessage");
        Messages.push_back(text);
    }
    void SetBusyCursor(bool busy) override { Calls.push_back(busy ? "Busy" : "Default"); }
    void ShowProgress() override { Calls.push_back("ShowProgress"); }
    void HideProgress() override { Calls.push_back("HideProgress"); }
    void SetTotalMax(int max) override { Calls.push_back("TotalMax " + std::to_string(max)); }
    void SetTotalPosition(int position) override {
        Calls.push_back("TotalPosition " + std::to_string(position));
    }
    void RepaintTotal() override { Calls.push_back("RepaintTotal"); }
    void SetCurrentMax(int max) override { Calls.push_back("CurrentMax " + std::to_string(max)); }
    void SetCurrentPosition(int position) override {
        FPosition = position;
        Calls.push_back("CurrentPosition " + std::to_string(position));
    }
    void RepaintProgress() override {
        Calls.push_back("RepaintProgress");
        if (OnRepaintProgress)
            OnRepaintProgress(FPosition);
    }

    // The recorded calls that start with prefix, in order.
    std::vector<std::string> CallsStartingWith(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const auto& call : Calls)
            if (call.rfind(prefix, 0) == 0)
                found.push_back(call);
        return found;
    }

private:
    int FPosition = 0;
};

} // namespace velmora::support
