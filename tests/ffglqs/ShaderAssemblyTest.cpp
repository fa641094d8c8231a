#include "tests/ffglqs/ExpectedShaderTexts.h"
#include "tests/ffglqs/QuickStartProbes.h"

#include "ffglqs/ParamBool.h"
#include "ffglqs/ParamEvent.h"
#include "ffglqs/ParamTrigger.h"
#include "ffglqs/ShaderSnippets.h"

#include <gtest/gtest.h>

namespace
{
using ffglqs::shader::snippet_id;

const std::string kBody = "void main() { fragColor = vec4(1.0); }\n";

TEST(ShaderAssemblyTest, KindsWithoutParametersYieldHeaderAdditionAndBody)
{
	EffectProbe effect;
	EXPECT_EQ(effect.CreateFragmentShader(kBody), expected::kCommonHeader + expected::kEffectAddition + kBody);
	SourceProbe source;
	EXPECT_EQ(source.CreateFragmentShader(kBody), expected::kCommonHeader + expected::kSourceAddition + kBody);
	// A mixer always has its mix amount.
	MixerProbe mixer;
	EXPECT_EQ(mixer.CreateFragmentShader(kBody), expected::kCommonHeader + expected::kMixerAddition + "uniform float mixVal;\n" + kBody);
}

TEST(ShaderAssemblyTest, VertexShadersAndInputCountsOfTheKinds)
{
	EffectProbe effect;
	SourceProbe source;
	MixerProbe mixer;
	EXPECT_EQ(effect.vertexShaderCode, expected::kEffectVertexShader);
	EXPECT_EQ(source.vertexShaderCode, expected::kSourceVertexShader);
	EXPECT_EQ(mixer.vertexShaderCode, expected::kMixerVertexShader);
	EXPECT_EQ(mixer.vertexShaderCode.substr(0, 17), "#version 410 core");

	EXPECT_EQ(effect.GetMinInputs(), 1u);
	EXPECT_EQ(effect.GetMaxInputs(), 1u);
	EXPECT_EQ(source.GetMinInputs(), 0u);
	EXPECT_EQ(source.GetMaxInputs(), 0u);
	EXPECT_EQ(mixer.GetMinInputs(), 2u);
	EXPECT_EQ(mixer.GetMaxInputs(), 2u);
	EXPECT_EQ(mixer.GetParamName(0), std::string("mixVal"));
	EXPECT_EQ(mixer.GetFloatParameter(0), 0.0f);
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
	EXPECT_EQ(source.CreateFragmentShader(kBody), expected::kCommonHeader + expected::kSourceAddition + declarations + kBody);
}

TEST(ShaderAssemblyTest, SnippetTextsAreTheFrameworksOwn)
{
	ASSERT_EQ(ffglqs::shader::snippets.size(), 3u);
	EXPECT_EQ(ffglqs::shader::snippets.at(snippet_id::random), expected::kRandomSnippet);
	EXPECT_EQ(ffglqs::shader::snippets.at(snippet_id::map), expected::kMapSnippet);
	EXPECT_EQ(ffglqs::shader::snippets.at(snippet_id::simplex_noise), expected::kSimplexNoiseSnippet);
	EXPECT_EQ(expected::kRandomSnippet.size(), 507u);
	EXPECT_EQ(expected::kMapSnippet.size(), 553u);
	EXPECT_EQ(expected::kSimplexNoiseSnippet.size(), 1260u);
	EXPECT_EQ(static_cast<int>(snippet_id::random), 0);
	EXPECT_EQ(static_cast<int>(snippet_id::map), 1);
	EXPECT_EQ(static_cast<int>(snippet_id::simplex_noise), 2);
}

TEST(ShaderAssemblyTest, IncludedSnippetsFollowTheDeclarationsInIdOrderEachOnce)
{
	EffectProbe effect;
	effect.AddParam(ffglqs::Param::Create("amount"));
	effect.Include(snippet_id::simplex_noise);
	effect.Include(snippet_id::random);
	effect.Include(snippet_id::simplex_noise);
	EXPECT_EQ(effect.CreateFragmentShader(kBody),
		expected::kCommonHeader + expected::kEffectAddition + "uniform float amount;\n" + expected::kRandomSnippet + expected::kSimplexNoiseSnippet + kBody);

	SourceProbe source;
	source.Include({ snippet_id::simplex_noise, snippet_id::map, snippet_id::random });
	EXPECT_EQ(source.CreateFragmentShader(kBody),
		expected::kCommonHeader + expected::kSourceAddition + expected::kRandomSnippet + expected::kMapSnippet + expected::kSimplexNoiseSnippet + kBody);
}

TEST(ShaderAssemblyTest, DependencyTableHasOnlyNoiseWithNothingToPullIn)
{
	ASSERT_EQ(ffglqs::shader::dependencies.size(), 1u);
	EXPECT_TRUE(ffglqs::shader::dependencies.at(snippet_id::simplex_noise).empty());

	SourceProbe source;
	source.Include(snippet_id::simplex_noise);
	EXPECT_EQ(source.CreateFragmentShader(kBody), expected::kCommonHeader + expected::kSourceAddition + expected::kSimplexNoiseSnippet + kBody);
}

TEST(ShaderAssemblyTest, BodyIsTheOneSetAndAppendedUnchanged)
{
	SourceProbe source;
	source.SetFragmentShader("anything at all\n\t");
	EXPECT_EQ(source.fragmentShaderBody, "anything at all\n\t");
	EXPECT_EQ(source.CreateFragmentShader(source.fragmentShaderBody), expected::kCommonHeader + expected::kSourceAddition + "anything at all\n\t");
}

}// namespace
