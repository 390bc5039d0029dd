#include "ui/MessageRecorder.h"

#include <wx/msgdlg.h>
#include <wx/richmsgdlg.h>

int MessageRecorder::Enter(wxDialog* dialog)
{
    auto* box = dynamic_cast<wxMessageDialogBase*>(dialog);
    if (!box)
        return wxID_NONE;
    const std::string entry = std::string(box->GetTitle().utf8_str()) + "|" + std::string(box->GetMessage().utf8_str());
    messages.push_back(entry);
    if (auto* rich = dynamic_cast<wxRichMessageDialog*>(dialog); rich && !rich->GetCheckBoxText().empty()) {
        ++checkBoxesOffered;
        rich->ShowCheckBox(rich->GetCheckBoxText(), tickCheckBoxes);
    }
    if (onMessage)
        onMessage(entry);
    if (!(box->GetMessageDialogStyle() & wxYES_NO))
        return wxID_OK;
    if (yesNoAnswers.empty())
        return wxID_YES;
    const int answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}
