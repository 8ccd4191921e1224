#include "shell/Main.h"

#include <exception>

#include "jobs/FileNames.h"
#include "platform/LogText.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace tessary {

TfMain::TfMain(Ui& ui, Clock& clock) : ui_(ui), clock_(clock) {
    auto setUpBoxes = [this](auto& boxes, const char* caption) {
        for (auto& box : boxes) {
            box.setCaption(caption);
            box.setEnabled(false);
            box.onClick = [this] { cbVideoClick(); };
        }
    };
    setUpBoxes(cbVideo, "Video stream");
    setUpBoxes(cbAudio, "Audio stream");
    setUpBoxes(cbSub, "Subpicture");
    cbFastCheck.onClick = [this] { cbFastCheckClick(); };
    for (RadioButton* radio : {&rbNoAuto, &rbAutoDemux, &rbAutoRebuild})
        radio->onClick = [this, radio] {
            if (radio->checked()) selectRadio(*radio);
        };
}

void TfMain::selectRadio(RadioButton& chosen) {
    for (RadioButton* radio : {&rbNoAuto, &rbAutoDemux, &rbAutoRebuild})
        if (radio != &chosen) radio->setChecked(false);
}

void TfMain::showPage(Page page) {
    if (activePage_ == page) return;
    activePage_ = page;
    pageChanged.emit(page);
}

CheckBox* TfMain::boxOfSlot(int slot) {
    const auto stream = streamOfSlot(slot);
    if (!stream) return nullptr;
    switch (stream->kind) {
    case StreamKind::Video: return &cbVideo[static_cast<std::size_t>(stream->number)];
    case StreamKind::Audio: return &cbAudio[static_cast<std::size_t>(stream->number)];
    case StreamKind::Subpicture: return &cbSub[static_cast<std::size_t>(stream->number)];
    }
    return nullptr;
}

JobContext TfMain::jobContext() {
    return {state, *this, *this, locale, *outputFiles_, *programs_};
}

std::vector<ChosenStream> TfMain::chosenStreams() {
    std::vector<ChosenStream> chosen;
    for (int slot = 1; slot < kStreamSlotCount; ++slot)
        if (const CheckBox* box = boxOfSlot(slot); box && box->checked())
            chosen.push_back({slot, box->caption()});
    return chosen;
}

PassOptions TfMain::passOptions() const {
    PassOptions options;
    options.continueOnSecond = cbContinue.checked();
    options.fastCheck = cbFastCheck.checked();
    options.fastSizeMb = ieFastSize.value();
    options.countFrames = cbCountFr.checked();
    options.details = cbDetails.checked();
    return options;
}

bool TfMain::anyStreamTicked() const {
    const auto ticked = [](const auto& boxes) {
        for (const auto& box : boxes)
            if (box.checked()) return true;
        return false;
    };
    return ticked(cbVideo) || ticked(cbAudio) || ticked(cbSub);
}

void TfMain::cbVideoClick() {
    // While a command runs its buttons stay as it set them; it applies the rule when it ends.
    if (passRunning()) return;
    const bool any = anyStreamTicked();
    bDemux.setEnabled(any);
    if (evoSource()) bRebuild.setEnabled(any);
    bMakeMkv.setEnabled(any && muxerFound_);
}

void TfMain::Resetcbs() {
    auto reset = [](auto& boxes, const char* caption) {
        for (auto& box : boxes) {
            box.setEnabled(false);
            box.setCaption(caption);
            box.setHint(""); // a playlist's description goes with its caption
            box.setChecked(false);
        }
    };
    reset(cbVideo, "No video stream");
    reset(cbAudio, "No audio stream");
    reset(cbSub, "No subpicture");
    cbVideoClick();
}

// A writing step asks first, naming the step; the run ends its log with "Cancelled.".
void TfMain::bCancelClick() {
    if (state.writingPass || state.muxing) {
        if (ui_.confirm(state.muxing ? "Stop making the Matroska file?"
                                     : "Are you sure to stop demuxing?"))
            state.cancelFlag = true;
        return;
    }
    state.cancelFlag = true;
}

bool TfMain::runCommand(std::initializer_list<Button*> disabled, const std::function<void()>& body,
                        const std::function<void()>& giveBack) {
    if (passRunning()) return false;
    std::string error;
    bool failed = false;
    {
        struct PassGuard {
            TfMain& main;
            explicit PassGuard(TfMain& m) : main(m) {
                if (main.passesRunning_++ == 0) main.runningChanged.emit();
            }
            ~PassGuard() {
                if (--main.passesRunning_ == 0) main.runningChanged.emit();
            }
        } guard(*this);
        for (Button* button : disabled)
            button->setEnabled(false);
        bMakeMkv.setEnabled(false);
        state.cancelFlag = false;
        bCancel.setEnabled(true);
        try {
            body();
        } catch (const std::exception& caught) {
            failed = true;
            error = caught.what();
        }
    }
    state.writingPass = false;
    state.muxing = false;
    bCancel.setEnabled(false);
    if (failed) logFailure(*this, error);
    giveBack();
    bMakeMkv.setEnabled(anyStreamTicked() && muxerFound_);
    if (failed) ui_.showError(error);
    return !failed;
}

void TfMain::writeIntoOutputFolder(const std::function<void()>& write) {
    NewFolders made;
    const auto takeBack = [this, &made] { takeBackFolders(made, *this); };
    try {
        outputFiles_->createFolder(eWorkdir.text(), made);
        write();
    } catch (...) {
        takeBack();
        throw;
    }
    takeBack();
}

void TfMain::bReadEVOClick() {
    // A path typed without Enter is taken as Enter would take it.
    if (!passRunning() && eEVOfile.text() != adjustedSource_) EVOadj();
    const bool readXplWasEnabled = bReadXPL.enabled();
    const bool done = runCommand(
        {&bReadEVO, &bReadXPL, &bDemux, &bRebuild, &bbEVO, &bbXPL},
        [this] {
            if (cbAutoClear.checked()) reMessage.clear();
            Resetcbs();
            showPage(Page::Status);
            readEvo();
        },
        [this, readXplWasEnabled] {
            bReadEVO.setEnabled(true);
            bReadXPL.setEnabled(readXplWasEnabled);
            bbEVO.setEnabled(true);
            bbXPL.setEnabled(true);
            cbVideoClick();
            streamsChanged.emit();
        });
    if (!done) return;
    if (rbAutoDemux.checked()) bDemuxClick();
    if (rbAutoRebuild.checked() && evoSource()) bRebuildClick();
}

std::string TfMain::title() const {
    const std::string program = std::string("Tessary ") + TESSARY_VERSION;
    return titleSource_.empty() ? program : titleSource_ + " - " + program;
}

void TfMain::readEvo() {
    const std::string path = eEVOfile.text();
    titleSource_ = namePart(path);
    titleChanged.emit();
    JobContext context = jobContext();
    lastRead_ = {}; // a Read that fails has found nothing
    lastRead_ = readSource({path, passOptions()}, context);
    for (const FoundStream& stream : lastRead_.summary.streams) {
        CheckBox* box = boxOfSlot(stream.slot);
        box->setEnabled(true);
        box->setChecked(true);
        box->setCaption(stream.caption);
    }
    for (const std::string& warning : readWarnings(lastRead_))
        log("Warning: " + literal(warning));
}

} // namespace tessary
