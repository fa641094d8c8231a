#include "ffglqs/Source.h"

#include "ffglqs/VertexShaderText.h"
#include "host/FFGLRecords.h"

namespace ffglqs
{
namespace
{
const char* const kHeaderAddition =
	"\n"
	"\t\tin vec2 i_uv;\n"
	"\t";

const char* const kVertexShader =
	"\n"
	"\t\t#version 410 core\n" FFGLQS_VERTEX_ATTRIBUTES
	"\n"
	"\t\tout vec2 i_uv;\n"
	"\n" FFGLQS_VERTEX_MAIN_BEGIN
	"\t\t\ti_uv = vUV;\n"
	"\t\t}\n"
	"\t";
} // namespace

Source::Source(bool supportTopLeftTextureOrientation) : Plugin(supportTopLeftTextureOrientation)
{
	SetKind(0, kHeaderAddition, kVertexShader);
}

Source::~Source() = default;

} // namespace ffglqs
