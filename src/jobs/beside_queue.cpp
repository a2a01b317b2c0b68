#include "jobs/beside_queue.h"

namespace m_Decoder {

BesideTally DecryptQueueBeside(const std::vector<std::string>& sources, const std::string& skey,
                               const BesideQueueEvents& events) {
    BesideTally tally;
    tally.total = sources.size();
    const StatusSink status = events.status ? events.status : [](const std::string&) {};
    // libmagic's database is loaded once for the queue, not once for each file.
    WrongKeyCheck wrong_key_check;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (events.stop && events.stop()) {
            for (std::size_t rest = i; rest < sources.size(); ++rest) {
                ++tally.not_started;
                if (events.not_started) {
                    events.not_started(sources[rest]);
                }
            }
            break;
        }
        BesideOutcome outcome;
        const std::function<void()> job = [&] {
            outcome = DecryptBeside(sources[i], skey, wrong_key_check, status, events.progress);
        };
        if (events.around_each) {
            events.around_each(job);
        } else {
            job();
        }
        switch (outcome.kind) {
            case BesideOutcome::Kind::kDecoded:
                ++tally.decoded;
                tally.suspects += outcome.suspect_wrong_key ? 1 : 0;
                break;
            case BesideOutcome::Kind::kRefused:
                ++tally.refused;
                break;
            case BesideOutcome::Kind::kFailed:
                ++tally.failed;
                break;
        }
        if (events.finished) {
            events.finished(sources[i], outcome);
        }
    }
    return tally;
}

}  // namespace m_Decoder
