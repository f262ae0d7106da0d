// libFuzzer target: a catalogue answer body read as a BigAlbum and as a LatestVideo. A message
// read is complete and encodes to bytes that read back to the same encoding; a body refused
// leaves the message untouched. Only the lite runtime's interface is used.
#include <cstddef>
#include <cstdint>
#include <string>

#include "follow/CatalogueParse.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

template <typename Message>
void CheckRead(bool read, const Message& message, const std::string& before,
               bool (*parse)(const std::string&, Message&)) {
  if (!read) {
    FUZZ_CHECK(message.SerializePartialAsString() == before);
    return;
  }
  FUZZ_CHECK(message.IsInitialized());
  const std::string encoded = message.SerializeAsString();
  Message again;
  FUZZ_CHECK(parse(encoded, again));
  FUZZ_CHECK(again.SerializeAsString() == encoded);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string body(reinterpret_cast<const char*>(data), size);

  VRSProto1::BigAlbum album;
  album.set_pb_version("untouched");
  album.mutable_album()->set_tv_year("1999");
  const std::string albumBefore = album.SerializePartialAsString();
  CheckRead<VRSProto1::BigAlbum>(ParseBigAlbum(body, album), album, albumBefore, &ParseBigAlbum);

  VRSProto1::LatestVideo latest;
  latest.set_vid("untouched");
  const std::string latestBefore = latest.SerializePartialAsString();
  CheckRead<VRSProto1::LatestVideo>(ParseLatestVideo(body, latest), latest, latestBefore, &ParseLatestVideo);
  return 0;
}
