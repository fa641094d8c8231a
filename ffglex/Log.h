// The toolkit's diagnostic output: one line per message on standard output.
//
// Messages carry no prefix of their own (no time stamp, level or plug-in name);
// the caller's pieces supply the wording. Nothing here goes to the host's log
// callback.
#pragma once

#include <ostream>
#include <sstream>
#include <string>

namespace ffglex
{
// Writes message and one newline to standard output in a single formatted
// write. The message is printed as it is: percent signs are not format
// directives. The result of the write is ignored.
void Log(const std::string& message);

namespace detail
{
// One piece, with the stream's ordinary text output.
template <typename Piece>
void WritePiece(std::ostream& stream, const Piece& piece)
{
	stream << piece;
}

// A null character pointer is written as nothing: streaming it would put the
// stream into a failed state and silently drop every later piece.
inline void WritePiece(std::ostream& stream, const char* piece)
{
	if (piece != nullptr)
		stream << piece;
}
inline void WritePiece(std::ostream& stream, char* piece)
{
	WritePiece(stream, static_cast<const char*>(piece));
}
} // namespace detail

// Writes the pieces into stream in argument order with nothing between them.
// Character arrays and pointers are written up to their first zero byte.
inline void VariadicMessageBuilder(std::ostream&)
{
}
template <typename First, typename... Rest>
void VariadicMessageBuilder(std::ostream& stream, const First& first, const Rest&... rest)
{
	detail::WritePiece(stream, first);
	VariadicMessageBuilder(stream, rest...);
}

// Builds one message from the pieces, e.g.
// Log("Fragment Shader error: ", infoLog), and writes it as one line.
template <typename... Pieces>
void Log(const Pieces&... pieces)
{
	std::ostringstream stream;
	VariadicMessageBuilder(stream, pieces...);
	Log(stream.str());
}

} // namespace ffglex
