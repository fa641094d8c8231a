// Shader assembly: the kinds' inputs, the uniform declarations of every
// parameter kind and colour group, and the snippets.
#include "tests/ffglqs/QuickStartProbes.h"

#include "ffglqs/ParamBool.h"
#include "ffglqs/ParamEvent.h"
#include "ffglqs/ParamTrigger.h"
#include "ffglqs/ShaderSnippets.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
using ffglqs::shader::snippet_id;

const std::string kBody = "void main() { fragColor = vec4(1.0); }\n";

const std::string& Snippet(snippet_id id)
{
	return ffglqs::shader::snippets.at(id);
}

bool Has(const std::string& text, const char* part)
{
	return text.find(part) != std::string::npos;
}

// A source's texts have no input; that the other kinds' texts compile and
// sample the right part of each input is shown by the GL tests. The inputs a
// host is told match.
TEST(ShaderAssemblyTest, KindsDifferInTheirInputs)
{
	EffectProbe effect;
	SourceProbe source;
	MixerProbe mixer;
	const std::string header = source.CreateFragmentShader("");
	EXPECT_EQ(header.rfind("\n\t\t#version 410 core\n\t\tout vec4 fragColor;\n", 0), 0u) << header;
	EXPECT_TRUE(
		Has(header, "in vec2 i_uv;") && !Has(header, "sampler2D") && Has(source.vertexShaderCode, "i_uv = vUV;"));
	EXPECT_EQ(effect.GetMaxInputs() * 100 + source.GetMaxInputs() * 10 + mixer.GetMaxInputs(), 102u);
	EXPECT_EQ(effect.GetMinInputs() * 100 + source.GetMinInputs() * 10 + mixer.GetMinInputs(), 102u);
}

TEST(ShaderAssemblyTest, DeclarationsPerParameterAndColourGroup)
{
	SourceProbe source;
	source.AddRGBColorParam("tint");
	source.AddParam(ffglqs::Param::Create("amount"));
	// A red and a green without a blue after them form no group.
	source.AddParam(ffglqs::Param::Create("lonelyRed", FF_TYPE_RED, 0.5f));
	source.AddParam(ffglqs::Param::Create("lonelyGreen", FF_TYPE_GREEN, 0.5f));
	source.AddHueColorParam("glow");
	source.AddParam(ffglqs::ParamBool::Create("enabled"));
	source.AddParam(ffglqs::ParamEvent::Create("hit"));
	source.AddParam(ffglqs::ParamTrigger::Create("fire"));
	source.AddParam(ffglqs::ParamFFT::Create("spectrum", 16));
	source.AddParam(ffglqs::ParamOption::Create("mode", { { "a", 0.0f }, { "b", 1.0f } }));
	source.AddParam(ffglqs::ParamRange::CreateInteger("count", 2, { 0.0f, 8.0f }));
	source.AddParam(ffglqs::ParamText::create("label", "x"));
	// Snippets follow in id order, each once.
	source.Include(snippet_id::simplex_noise);
	source.Include({ snippet_id::map, snippet_id::random, snippet_id::simplex_noise });
	const std::string declarations =
		"uniform vec3 tint;\nuniform float amount;\nuniform float lonelyRed;\n"
		"uniform float lonelyGreen;\nuniform vec4 glow;\nuniform bool enabled;\n"
		"uniform bool hit;\nuniform bool fire;\nuniform float mode;\nuniform float count;\n"
		"uniform float label;\n";
	EXPECT_EQ(source.CreateFragmentShader(kBody),
		SourceProbe().CreateFragmentShader("") + declarations + Snippet(snippet_id::random) + Snippet(snippet_id::map) +
			Snippet(snippet_id::simplex_noise) + kBody);
}

} // namespace
