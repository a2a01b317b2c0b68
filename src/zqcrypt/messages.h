#pragma once

// The windows' texts that zqcrypt shows on standard error too. The refusals
// of the file commands come from m_Decoder::RefusalPrompt.
namespace zqcrypt {

// a failed file job, before the job's own text
inline constexpr const char* kErrorDecoding = "Error Decoding File!";
inline constexpr const char* kErrorEncoding = "Error Encoding File!";

// every command that needs the key
inline constexpr const char* kKeyMissing = "Key Missing!";
// After "Key Missing!" when there was neither ZQ_KEY nor a terminal to ask on.
inline constexpr const char* kHowToGiveTheKey =
    "give the key in the environment variable ZQ_KEY, or run zqcrypt on a terminal to be asked for it";

// decode-text, as the message window says it; encode-text in the same words.
// The cipher's counters are 16-bit: at most 32,766 characters.
inline constexpr const char* kEncryptedTextTooLong = "Encrypted Text Too Long!";
inline constexpr const char* kTextToEncodeTooLong = "Text to Encode Too Long!";

// decrypt and decode-text go on with such a key, each such character read as
// "?": files and texts that clients already have may depend on it.
inline constexpr const char* kKeyOutsideCodePageWarning =
    "warning: the key holds characters outside Windows-1252; each is used as \"?\"";

}  // namespace zqcrypt
