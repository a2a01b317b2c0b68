#include "ui/main/keyring_key_store.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFileInfo>
#include <QString>
#include <qt6keychain/keychain.h>

#include <utility>

namespace ui {
namespace {

// Without an address libdbus would launch a bus of its own, on which there is no keyring.
bool SessionBusAddressKnown() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
        return true;
    }
    const QString runtime_folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime_folder.isEmpty() && QFileInfo::exists(runtime_folder + QStringLiteral("/bus"));
}

// Each job speaks for itself and deletes itself once finished; the insecure
// fallback to a plain settings file is never taken.
template <typename Job>
Job* NewJob() {
    auto* job = new Job(QString::fromLatin1(kKeyringService));
    job->setInsecureFallback(false);
    job->setKey(QString::fromLatin1(kKeyringEntry));
    return job;
}

RememberedKeyStore::Outcome OutcomeOf(QKeychain::Error error) {
    switch (error) {
        case QKeychain::NoError:
            return RememberedKeyStore::Outcome::kSaved;
        // libsecret answers a locked keyring that the user did not unlock
        // with AccessDenied; KWallet a wallet they would not open with AccessDeniedByUser.
        case QKeychain::AccessDeniedByUser:
        case QKeychain::AccessDenied:
            return RememberedKeyStore::Outcome::kRefused;
        default:
            return RememberedKeyStore::Outcome::kFailed;
    }
}

}  // namespace

bool KeyringOnSessionBus() {
    if (!SessionBusAddressKnown()) {
        return false;
    }
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    // Asks whether the name has an owner now, which never activates its service.
    const QDBusConnectionInterface* names = bus.interface();
    if (names->isServiceRegistered(QStringLiteral("org.freedesktop.secrets")).value()) {
        return true;
    }
    // QtKeychain turns to KWallet on this desktop only, and to the Secret Service elsewhere.
    return qEnvironmentVariable("XDG_CURRENT_DESKTOP") == QStringLiteral("KDE") &&
           names->isServiceRegistered(QStringLiteral("org.kde.kwalletd5")).value();
}

KeyringKeyStore::KeyringKeyStore(m_Decoder::KeyStoreSettings old_key_file) : old_key_file_(std::move(old_key_file)) {
    const std::string old_key = m_Decoder::LoadClientKey(old_key_file_);
    if (old_key.empty()) {
        Read();
        return;
    }
    // This run uses the file's key whatever the keyring says; should it not
    // take the key, the next start tries again.
    known_key_ = old_key;
    Write(old_key, [](Outcome /*outcome*/) {});
}

KeyringKeyStore::~KeyringKeyStore() = default;

void KeyringKeyStore::Load(Loaded loaded) {
    waiting_ = std::move(loaded);
    AnswerWaiting();
}

void KeyringKeyStore::Save(const std::string& key, When /*when*/, Saved saved) {
    ++changes_;
    Write(key, std::move(saved));
}

void KeyringKeyStore::Delete(When when, Deleted deleted) {
    // A mark that is clear at the end only because the keyring could not be
    // read (locked, refused, or still asking) does not forget a key this run never saw.
    if (when == When::kUnload && !known_key_) {
        deleted();
        return;
    }
    ++changes_;
    // Forgetting is for good: a key file of earlier runs goes too.
    m_Decoder::DeleteClientKey(old_key_file_);
    auto* job = NewJob<QKeychain::DeletePasswordJob>();
    ++pending_;
    connect(job, &QKeychain::Job::finished, this, [this, deleted = std::move(deleted)](QKeychain::Job* done) {
        --pending_;
        if (done->error() == QKeychain::NoError || done->error() == QKeychain::EntryNotFound) {
            known_key_ = std::string();
        }
        deleted();
        AnswerWaiting();
    });
    job->start();
}

void KeyringKeyStore::Read() {
    auto* job = NewJob<QKeychain::ReadPasswordJob>();
    const std::uint64_t changes = changes_;
    ++pending_;
    connect(job, &QKeychain::Job::finished, this, [this, job, changes](QKeychain::Job* /*done*/) {
        --pending_;
        // A key saved or forgotten since says more than this answer.
        if (changes == changes_) {
            if (job->error() == QKeychain::NoError) {
                known_key_ = job->binaryData().toStdString();
            } else if (job->error() == QKeychain::EntryNotFound) {
                known_key_ = std::string();
            }
        }
        AnswerWaiting();
    });
    job->start();
}

void KeyringKeyStore::Write(const std::string& key, Saved saved) {
    auto* job = NewJob<QKeychain::WritePasswordJob>();
    job->setBinaryData(QByteArray::fromStdString(key));
    ++pending_;
    connect(job, &QKeychain::Job::finished, this, [this, key, saved = std::move(saved)](QKeychain::Job* done) {
        --pending_;
        const Outcome outcome = OutcomeOf(done->error());
        if (outcome == Outcome::kSaved) {
            known_key_ = key;
            // The keyring holds the key now; a key file of earlier runs is only an older copy.
            m_Decoder::DeleteClientKey(old_key_file_);
        }
        saved(outcome);
        AnswerWaiting();
    });
    job->start();
}

void KeyringKeyStore::AnswerWaiting() {
    // What the keyring holds, once known, or once nothing more can tell.
    if (waiting_ && (known_key_ || pending_ == 0)) {
        std::exchange(waiting_, nullptr)(known_key_.value_or(std::string()));
    }
}

}  // namespace ui
