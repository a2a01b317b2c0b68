// How long the window stops answering while the attachment window decodes a
// large file, through the real windows: the main window gets the key typed
// into its key box, Decode Attachments opens the attachment window, the two
// paths are typed and Decode is clicked. A timer on the window's thread
// stamps the clock every millisecond; the gaps between its stamps, from the
// click until the job has ended, are how long the event loop was held.
//
//   zq_bench_window_latency FOLDER [SIZE]
//
// SIZE is bytes, or a number with K, M or G (powers of 1024: 512M, 1.5G);
// default 1.5G. The attachment (a PDF header, then noise) is made, encrypted
// and decrypted in a temporary folder inside FOLDER, which needs about three
// times SIZE free, and is removed at the end. Run it offscreen:
//
//   QT_QPA_PLATFORM=offscreen build/bench/zq_bench_window_latency /tmp
//
// The job has ended once the decrypted file (or a message box) is there and
// Decode can be pressed again: whether the job runs inside the click handler (one gap as
// long as the job) or beside the window. Message boxes are answered at once
// and listed. The decrypted file is checked against the plain bytes.

#include "app/attach_file_window.h"
#include "cipher/file_container.h"
#include "ui/main/frm_decode.h"
#include "ui/message_box.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kKey = "benchmark key";
constexpr std::uint64_t kDefaultSize = std::uint64_t{3} << 29;  // 1.5 GiB
constexpr std::size_t kBlock = std::size_t{1} << 20;
// A 0-ms timer would spin on a core that the job's threads need; 1 ms costs
// next to nothing and still shows any wait worth a user's notice.
constexpr std::chrono::milliseconds kTick{1};
constexpr std::chrono::milliseconds kLongWait{250};
constexpr std::chrono::minutes kGiveUpAfter{10};

double Milliseconds(Clock::duration span) {
    return std::chrono::duration<double, std::milli>(span).count();
}

std::string LoadAverage() {
    std::ifstream loadavg("/proc/loadavg");
    std::string one, five, fifteen;
    loadavg >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

// "1.5G" and the like; nothing for text that is not a size.
std::optional<std::uint64_t> ParseSize(const std::string& text) {
    char* end = nullptr;
    const double number = std::strtod(text.c_str(), &end);
    const std::string unit(end);
    double scale = 1;
    if (unit == "K") {
        scale = 0x1p10;
    } else if (unit == "M") {
        scale = 0x1p20;
    } else if (unit == "G") {
        scale = 0x1p30;
    } else if (!unit.empty() || end == text.c_str()) {
        return std::nullopt;
    }
    const double bytes = std::floor(number * scale);
    if (!(bytes >= 1) || bytes > 0x1p50) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(bytes);
}

// The plain file's bytes: "%PDF-1.4", so that the decoder's wrong-key check
// sees a known type, then noise (splitmix64) that the cipher cannot shrink.
// Every block but the last is whole, so that writing and checking agree.
class PlainBytes {
public:
    void Next(std::span<char> block) {
        for (std::size_t i = 0; i < block.size(); i += sizeof(std::uint64_t)) {
            state_ += 0x9e3779b97f4a7c15U;
            std::uint64_t z = state_;
            z = (z ^ (z >> 30U)) * 0xbf58476d1ce4e5b9U;
            z = (z ^ (z >> 27U)) * 0x94d049bb133111ebU;
            z ^= z >> 31U;
            for (std::size_t b = 0; b < sizeof(z) && i + b < block.size(); ++b) {
                block[i + b] = static_cast<char>(z >> (8 * b));
            }
        }
        if (first_) {
            std::string_view header = "%PDF-1.4";
            std::copy_n(header.begin(), std::min(header.size(), block.size()), block.begin());
            first_ = false;
        }
    }

private:
    std::uint64_t state_ = 0;
    bool first_ = true;
};

bool WritePlain(const fs::path& file, std::uint64_t size) {
    std::ofstream out(file, std::ios::binary);
    PlainBytes bytes;
    std::vector<char> block(kBlock);
    for (std::uint64_t done = 0; done < size && out; done += block.size()) {
        block.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, size - done)));
        bytes.Next(block);
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    out.close();
    return !out.fail();
}

bool MatchesPlain(const fs::path& file, std::uint64_t size) {
    std::error_code error;
    if (fs::file_size(file, error) != size || error) {
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    PlainBytes bytes;
    std::vector<char> expected(kBlock);
    std::vector<char> actual(kBlock);
    for (std::uint64_t done = 0; done < size; done += expected.size()) {
        const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, size - done));
        expected.resize(length);
        actual.resize(length);
        bytes.Next(expected);
        if (!in.read(actual.data(), static_cast<std::streamsize>(length)) || actual != expected) {
            return false;
        }
    }
    return true;
}

template <typename Control>
Control& Find(QWidget& window, const char* name) {
    auto* control = window.findChild<Control*>(QString::fromLatin1(name));
    if (control == nullptr) {
        std::fprintf(stderr, "zq_bench_window_latency: no control %s in %s\n", name, qPrintable(window.objectName()));
        std::exit(1);
    }
    return *control;
}

void TypeInto(QLineEdit& box, const fs::path& text) {
    box.clear();
    QTest::keyClicks(&box, QString::fromStdString(text.string()));
}

QWidget* AttachmentWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QStringLiteral("frmDecodeFile") && widget->isVisible()) {
            return widget;
        }
    }
    return nullptr;
}

// Stamps the clock on every tick of the window's event loop from the click
// on Decode until the job has ended, and keeps the gaps between stamps.
struct JobLatency {
    Clock::time_point pressed;
    Clock::time_point ended;
    std::vector<double> gaps_ms;
    bool finished = false;
};

// `ended` says whether the job's result is there: its file, or a message box.
JobLatency MeasureDecode(QPushButton& decode, const std::function<bool()>& ended) {
    JobLatency latency;
    Clock::time_point last_stamp;
    bool running = false;
    QEventLoop loop;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(kTick);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (!running) {
            return;
        }
        const Clock::time_point now = Clock::now();
        latency.gaps_ms.push_back(Milliseconds(now - last_stamp));
        last_stamp = now;
        if (ended() && decode.isEnabled()) {
            latency.ended = now;
            latency.finished = true;
        }
        if (latency.finished || now - latency.pressed > kGiveUpAfter) {
            running = false;
            loop.quit();
        }
    });
    ticker.start();
    // The click comes from the event loop, as a user's would; whatever it
    // holds up shows as the first gap.
    QTimer::singleShot(std::chrono::milliseconds(200), [&] {
        latency.pressed = last_stamp = Clock::now();
        running = true;
        QTest::mouseClick(&decode, Qt::LeftButton);
    });
    loop.exec();
    return latency;
}

void Report(const JobLatency& latency, std::uint64_t size) {
    std::vector<double> gaps = latency.gaps_ms;
    std::sort(gaps.begin(), gaps.end());
    const double seconds = std::chrono::duration<double>(latency.ended - latency.pressed).count();
    const std::size_t p99 = static_cast<std::size_t>(std::ceil(0.99 * static_cast<double>(gaps.size()))) - 1;
    const auto long_waits = std::count_if(gaps.begin(), gaps.end(), [](double gap) {
        return gap > std::chrono::duration<double, std::milli>(kLongWait).count();
    });
    std::printf("job: %.2f s, %.1f MB/s (Decode clicked until the file was there and Decode could be clicked again)\n",
                seconds, static_cast<double>(size) / seconds / 1e6);
    std::printf(
        "event loop: %zu gaps between %lld-ms ticks; longest %.1f ms, 99th percentile %.1f ms, "
        "%td over %lld ms\n",
        gaps.size(), static_cast<long long>(kTick.count()), gaps.back(), gaps[p99], long_waits,
        static_cast<long long>(kLongWait.count()));
}

int Fail(const char* what) {
    std::fprintf(stderr, "zq_bench_window_latency: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);  // takes its own options out of argv
    if (argc < 2 || argc > 3) {
        return Fail("usage: zq_bench_window_latency FOLDER [SIZE]   (SIZE like 512M or 1.5G; default 1.5G)");
    }
    const std::optional<std::uint64_t> size = argc == 3 ? ParseSize(argv[2]) : kDefaultSize;
    if (!size) {
        return Fail("not a size (try 512M or 1.5G)");
    }
    const QTemporaryDir work(QString::fromLocal8Bit(argv[1]) + QStringLiteral("/zq-latency-XXXXXX"));
    if (!work.isValid()) {
        return Fail("cannot make a folder in FOLDER");
    }
    const fs::path folder = work.path().toStdString();
    // Nothing the program records (its key container) outlives the run.
    ::setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
    const fs::path plain = folder / "plain.pdf";
    const fs::path attachment = folder / "e~attachment.pdf";
    const fs::path decrypted = folder / "attachment.pdf";
    std::printf("attachment: %llu bytes (%.1f MiB) in %s\n", static_cast<unsigned long long>(*size),
                static_cast<double>(*size) / 0x1p20, folder.c_str());

    const Clock::time_point making = Clock::now();
    if (!WritePlain(plain, *size) || !m_Encryption::EncryptFileWithSalt(plain, attachment, kKey).empty()) {
        return Fail("cannot make the attachment");
    }
    fs::remove(plain);
    // The disk's pending writes are not the job's to pay for.
    ::sync();
    std::printf("made and encrypted in %.1f s\n", std::chrono::duration<double>(Clock::now() - making).count());

    std::vector<QString> boxes;
    const ui::ScopedMessageBoxObserver answer([&boxes](QMessageBox& box) {
        boxes.push_back(box.windowTitle() + QStringLiteral(": ") + box.text());
        box.button(QMessageBox::Ok)->click();
    });
    m_Decoder::KeyStoreSettings key_store;
    key_store.folder = (folder / "key").string();
    frmDecode main_window(key_store);
    ui::AttachFileWindow(main_window);
    main_window.show();
    TypeInto(Find<QLineEdit>(main_window, "txtClientKey"), kKey);
    QTest::mouseClick(&Find<QPushButton>(main_window, "cmdDecodeAttachments"), Qt::LeftButton);
    QWidget* file_window = AttachmentWindow();
    if (file_window == nullptr) {
        return Fail("Decode Attachments showed no attachment window");
    }
    TypeInto(Find<QLineEdit>(*file_window, "txtEFile"), attachment);
    TypeInto(Find<QLineEdit>(*file_window, "txtDFile"), decrypted);

    const std::string load_before = LoadAverage();
    const JobLatency latency = MeasureDecode(Find<QPushButton>(*file_window, "cmdDecode"), [&] {
        std::error_code ignored;
        return fs::exists(decrypted, ignored) || !boxes.empty();
    });
    std::printf("load average: %s before, %s after, on %ld cores\n", load_before.c_str(), LoadAverage().c_str(),
                ::sysconf(_SC_NPROCESSORS_ONLN));
    for (const QString& box : boxes) {
        std::printf("message box: %s\n", qPrintable(box));
    }
    if (!latency.finished) {
        return Fail("the job did not end in time");
    }
    file_window->close();
    main_window.close();
    if (!MatchesPlain(decrypted, *size)) {
        return Fail("the decrypted file is not the plain file");
    }
    Report(latency, *size);
    return 0;
}
