// The soundtrack's content module: composes, renders, masters and encodes
// the piece, and writes it as "themusic.mp3" at the root of the data tree.
#pragma once

#include <string>

// False (reported) when any stage fails or the encoded track misses its
// mastering figures. Prints the figures it measured.
bool WriteMusic(const std::string& root);
