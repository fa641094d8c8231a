// Shader assembly: the fragment source each kind yields, the uniform
// declarations of every parameter kind and colour group, and the snippets in
// id order, each once. The fixed texts (headers, vertex shaders, snippets) are
// the framework's own, pinned character for character by their length and
// FNV-1a hash: any changed, lost or added character fails.
#include "tests/ffglqs/QuickStartProbes.h"

#include "ffglqs/ParamBool.h"
#include "ffglqs/ParamEvent.h"
#include "ffglqs/ParamTrigger.h"
#include "ffglqs/ShaderSnippets.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

namespace
{
using ffglqs::shader::snippet_id;

const std::string kBody = "void main() { fragColor = vec4(1.0); }\n";

std::uint64_t Fnv1a64(const std::string& text)
{
	std::uint64_t hash = 0xcbf29ce484222325u;
	for (unsigned char c : text)
		hash = (hash ^ c) * 0x100000001b3u;
	return hash;
}

const std::string& Snippet(snippet_id id)
{
	return ffglqs::shader::snippets.at(id);
}

// Without parameters a kind's fragment source is its header (the common
// header and the kind's addition; for a mixer also its mixVal) and the body.
TEST(ShaderAssemblyTest, FixedTextsAreTheFrameworksOwn)
{
	EffectProbe effect;
	SourceProbe source;
	MixerProbe mixer;
	for (ffglqs::Plugin* kind : std::initializer_list<ffglqs::Plugin*>{ &effect, &source, &mixer })
		EXPECT_EQ(kind->CreateFragmentShader(kBody), kind->CreateFragmentShader("") + kBody);
	const struct
	{
		const char* what;
		std::string text;
		std::size_t length;
		std::uint64_t hash;
	} texts[] = {
		{ "effect header", effect.CreateFragmentShader(""), 237, 0xf0a6484278969dffu },
		{ "source header", source.CreateFragmentShader(""), 203, 0x370e5b1906eb9c99u },
		{ "mixer header", mixer.CreateFragmentShader(""), 316, 0x22a1f745c934277au },
		{ "effect vertex shader", effect.vertexShaderCode, 219, 0x2c6dad3e0b527ad3u },
		{ "source vertex shader", source.vertexShaderCode, 188, 0x35060f4ca5c3e33eu },
		{ "mixer vertex shader", mixer.vertexShaderCode, 310, 0x4d8a93ca355c9811u },
		{ "random snippet", Snippet(snippet_id::random), 507, 0xc96b579913ad25adu },
		{ "map snippet", Snippet(snippet_id::map), 553, 0x1b8e8e0133860505u },
		{ "simplex noise snippet", Snippet(snippet_id::simplex_noise), 1260, 0x2a0436f8de4530d3u },
	};
	for (const auto& t : texts)
	{
		EXPECT_EQ(t.text.size(), t.length) << t.what << ":\n" << t.text;
		EXPECT_EQ(Fnv1a64(t.text), t.hash) << t.what << ":\n" << t.text;
	}
	EXPECT_EQ(mixer.GetParamName(0), std::string("mixVal"));
	EXPECT_EQ(mixer.GetFloatParameter(0), 0.0f);
	EXPECT_EQ(std::make_pair(effect.GetMinInputs(), effect.GetMaxInputs()), std::make_pair(1u, 1u));
	EXPECT_EQ(std::make_pair(source.GetMinInputs(), source.GetMaxInputs()), std::make_pair(0u, 0u));
	EXPECT_EQ(std::make_pair(mixer.GetMinInputs(), mixer.GetMaxInputs()), std::make_pair(2u, 2u));

	ASSERT_EQ(ffglqs::shader::snippets.size(), 3u);
	EXPECT_EQ(static_cast<int>(snippet_id::map), 1);
	EXPECT_EQ(static_cast<int>(snippet_id::simplex_noise), 2);
	ASSERT_EQ(ffglqs::shader::dependencies.size(), 1u);
	EXPECT_TRUE(ffglqs::shader::dependencies.at(snippet_id::simplex_noise).empty());
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
	source.Include(snippet_id::map);

	const std::string declarations =
		"uniform vec3 tint;\n"
		"uniform float amount;\n"
		"uniform float lonelyRed;\n"
		"uniform float lonelyGreen;\n"
		"uniform vec4 glow;\n"
		"uniform bool enabled;\n"
		"uniform bool hit;\n"
		"uniform bool fire;\n"
		"uniform float mode;\n"
		"uniform float count;\n"
		"uniform float label;\n";
	EXPECT_EQ(source.CreateFragmentShader(kBody),
		SourceProbe().CreateFragmentShader("") + declarations + Snippet(snippet_id::map) + kBody);
}

TEST(ShaderAssemblyTest, IncludedSnippetsFollowInIdOrderEachOnce)
{
	EffectProbe effect;
	effect.Include(snippet_id::simplex_noise);
	effect.Include(snippet_id::random);
	effect.Include(snippet_id::simplex_noise);
	EXPECT_EQ(effect.CreateFragmentShader(kBody),
		EffectProbe().CreateFragmentShader("") + Snippet(snippet_id::random) + Snippet(snippet_id::simplex_noise) +
			kBody);

	SourceProbe source;
	source.Include({ snippet_id::simplex_noise, snippet_id::map, snippet_id::random });
	EXPECT_EQ(source.CreateFragmentShader(kBody),
		SourceProbe().CreateFragmentShader("") + Snippet(snippet_id::random) + Snippet(snippet_id::map) +
			Snippet(snippet_id::simplex_noise) + kBody);
}

} // namespace
