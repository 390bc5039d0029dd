#include "ui/MessageRecorder.h"

#include <wx/msgdlg.h>
#include <wx/richmsgdlg.h>
#include <wx/textdlg.h>

int MessageRecorder::Enter(wxDialog* dialog)
{
    if (auto* entry = dynamic_cast<wxTextEntryDialog*>(dialog)) {
        if (textAnswers.empty())
            return wxID_CANCEL;
        entry->SetValue(wxString::FromUTF8(textAnswers.front()));
        textAnswers.pop_front();
        return wxID_OK;
    }
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
