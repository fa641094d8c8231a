// The lines that the vertex shaders of the quick-start kinds share, as string
// literals to concatenate with each kind's own lines at compile time. The
// attribute locations are those the full-screen quad feeds: 0 the position,
// 1 the texture coordinate.
#pragma once

#define FFGLQS_VERTEX_ATTRIBUTES \
	"\t\tlayout( location = 0 ) in vec4 vPosition;\n" \
	"\t\tlayout( location = 1 ) in vec2 vUV;\n"

#define FFGLQS_VERTEX_MAIN_BEGIN \
	"\t\tvoid main()\n" \
	"\t\t{\n" \
	"\t\t\tgl_Position = vPosition;\n"
