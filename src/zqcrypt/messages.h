#pragma once

// The texts with which the windows refuse their inputs and report a failed
// job; zqcrypt shows the same ones on standard error.
namespace zqcrypt {

// decrypt
inline constexpr const char* kNoEncryptedFile = "No Encrypted File Provided!";
inline constexpr const char* kEncryptedFileNotFound = "Encrypted File Not Found!";
inline constexpr const char* kNoDecryptedPath = "No Decrypted Path and Filename Provided!";
inline constexpr const char* kDecryptedFileExists = "File Found With Same Path and Name as Decrypted File Path!";
inline constexpr const char* kErrorDecoding = "Error Decoding File!";

// encrypt
inline constexpr const char* kNoFileToEncrypt = "File to Encrypt Not Provided!";
inline constexpr const char* kFileToEncryptNotFound = "File to Encrypt Not Found!";
inline constexpr const char* kNoEncryptedPath = "No Encrypted Path and Filename Provided!";
inline constexpr const char* kErrorEncoding = "Error Encoding File!";

// every command that needs the key
inline constexpr const char* kKeyMissing = "Key Missing!";

// decode-text, as the message window says it; encode-text in the same words.
// The cipher's counters are 16-bit: at most 32,766 characters.
inline constexpr const char* kEncryptedTextTooLong = "Encrypted Text Too Long!";
inline constexpr const char* kTextToEncodeTooLong = "Text to Encode Too Long!";

}  // namespace zqcrypt
