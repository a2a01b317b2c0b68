// The attachment window's files that come several at once: dropped on it or
// opened with the program, queued, and decoded each beside itself.
#include "jobs/beside_queue.h"
#include "jobs/wrong_key_check.h"
#include "ui/files/frm_decode_file.h"
#include "ui/message_box.h"
#include "util/escaped_text.h"
#include "util/trim.h"

#include <QLineEdit>

#include <utility>

namespace ui {
namespace {

// Said when files are queued while a path is typed, which would otherwise
// seem to be ignored.
constexpr const char* kTypedFileFirst = "Decode runs the typed file first, then the queue.";

// Decode reads a box back as UTF-8 without its outer spaces: a name that
// would come back otherwise would decode another file, or none. Nor can a box
// escape what it shows, since its text is the path: a name that reorders its
// own letters ("b\u{202E}fdp.exe" showing as "bexe.pdf") goes to the list,
// which shows it escaped.
[[nodiscard]] bool BoxGivesBack(const std::string& name) {
    return QString::fromStdString(name).toStdString() == name && util::TrimSpaces(name) == name &&
           !util::HoldsReorderingCharacter(name);
}

}  // namespace

void frmDecodeFile::OpenFiles(const std::vector<std::string>& files) {
    if (files.size() == 1 && BoxGivesBack(files.front()) && !job_.Running()) {
        // As if Browse had chosen it: the file, then where it would go.
        txtEFile_->setText(QString::fromStdString(files.front()));
        txtDFile_->setText(QString::fromStdString(m_Decoder::ProposedDestination(files.front())));
        return;
    }
    // The boxes are left as they are: a file typed there still goes first.
    for (const std::string& file : files) {
        queue_.push_back(file);
        StatusAdd("Queued: " + file);
    }
    if (!files.empty() && !TrimmedPath(*txtEFile_).empty()) {
        StatusAdd(kTypedFileFirst);
    }
}

void frmDecodeFile::RunQueue() {
    const std::string key = TrimmedKey();
    if (key.empty()) {
        // The window and its queue stay, for the user to come back with the key.
        RefuseToProceed(QString::fromUtf8(
            m_Decoder::RefusalPrompt(m_Decoder::FileJob::kDecrypt, m_Decoder::JobRefusal::kKeyMissing)));
        return;
    }

    StartRun(std::nullopt, std::exchange(queue_, {}), key);
}

void frmDecodeFile::WarnOfWrongKeyForQueue(std::size_t suspects, std::size_t decoded) {
    // One box for the whole queue, counting the files it is about.
    const QString prompt = QStringLiteral(
                               "%1 of %2 decoded files %3 not look like any known kind of file. "
                               "The client key may be wrong.")
                               .arg(suspects)
                               .arg(decoded)
                               .arg(suspects == 1 ? QStringLiteral("does") : QStringLiteral("do"));
    MsgBox(this, QString::fromUtf8(m_Decoder::kCheckTheKeyTitle), prompt);
}

}  // namespace ui
