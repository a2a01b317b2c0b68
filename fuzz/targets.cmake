# The fuzz targets, one a line:
#   zq_fuzz_target(NAME ENTRY SEEDS LIBRARY MAX_LEN)
# NAME_entry.cpp/.h in fuzz/ hold ENTRY, the check of one input; SEEDS is the
# seed corpus under tests/data; LIBRARY is what the check calls; MAX_LEN is
# the longest input worth trying (past the longest text the cipher takes).
# fuzz/CMakeLists.txt makes each a libFuzzer target, and the tests replay
# each seed corpus through its check in every build.
zq_fuzz_target(decrypt_container zqfuzz::DecryptContainer container-corpus zqcipher 65536)
zq_fuzz_target(key_file zqfuzz::LoadKeyFile key-file-corpus zqjobs 33000)
zq_fuzz_target(text_cipher zqfuzz::RunTextCipher text-cipher-corpus zqcipher 33100)
zq_fuzz_target(path_helpers zqfuzz::CutPath path-helpers-corpus zqutil 4096)
