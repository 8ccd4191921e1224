#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace tessary {

// The part of a file name that comes from a check-box caption or a typed extension, made
// safe: path separators, control characters and : * ? " < > | become "_", and so does every
// leading ".", so that no output lands outside its folder or hides.
std::string safeNamePart(std::string_view text);

// The prefix of every output file: the output folder (a separator added when it does not end
// in one) followed by the base name. With no output folder the files go beside the source.
std::string outputPrefix(const std::string& outputFolder, const std::string& sourcePath,
                         const std::string& baseName);

// Refuses (FileError "Cannot create file \"NAME\". WHY") an output that is one of the files
// the operation reads, also through a link; empty input paths are passed over.
void refuseInputAsOutput(const std::string& output, std::initializer_list<std::string> inputs,
                         const char* why);

// A demuxed stream's file: prefix + "." + caption + "." + extension, as in
// "/out/FEATURE_1.VC-1.stream.0.mpv".
std::string demuxFileName(const std::string& prefix, std::string_view caption,
                          std::string_view extension);

// The other outputs, named from the prefix: the rebuilt EVO ("PREFIX.rebuilt.EVO"), the chapter
// list ("PREFIX.chapters.txt"), the muxer's options file ("PREFIX.mkvmerge.json") and its
// chapters ("PREFIX.mkv-chapters.txt"), the Matroska file ("PREFIX.mkv") and the work folder
// the Matroska file is made in ("PREFIX.work").
std::string rebuiltFileName(const std::string& prefix);
std::string chaptersFileName(const std::string& prefix, std::string_view extension = ".txt");
std::string muxOptionsFileName(const std::string& prefix);
std::string muxChaptersFileName(const std::string& prefix);
std::string matroskaFileName(const std::string& prefix);
std::string workFolderName(const std::string& prefix);

} // namespace tessary
