#include "Logging/LogCapture.h"
#include "ShaderCompilerTestFixture.h"

#include <string>
#include <vector>

namespace
{
	const char* const ColorizeShader = R"(cbuffer Params
{
	float4 Tint;
	int4 Flags;
	float Strength;
};
Texture2D<float4> Source;
SamplerState SourceSampler;
RWTexture2D<float4> Destination;
StructuredBuffer<float2> Offsets;
Texture2D<float4> Unused;

[numthreads(8, 4, 1)]
void MainCS(uint3 Id : SV_DispatchThreadID)
{
	float2 Uv = Offsets[Id.x] * Strength;
	Destination[Id.xy] = Source.SampleLevel(SourceSampler, Uv, 0) * Tint + Flags.x;
}
)";

	/** The operands of every SPIR-V instruction with this opcode, found independently of the compiler's reflection. */
	std::vector<std::vector<uint32>> Instructions(const TArray<uint32>& Words, uint32 Opcode)
	{
		std::vector<std::vector<uint32>> Found;
		for (int32 Index = 5; Index < Words.Num() && (Words[Index] >> 16) > 0; Index += Words[Index] >> 16)
		{
			if ((Words[Index] & 0xFFFF) == Opcode)
			{
				Found.emplace_back(Words.GetData() + Index + 1, Words.GetData() + Index + (Words[Index] >> 16));
			}
		}
		return Found;
	}

	std::string Describe(const FShaderResourceBinding& Resource)
	{
		return FString::Printf(TEXT("%s %s set %u binding %u"), *Resource.Name, LexToString(Resource.Kind), Resource.Set, Resource.Binding)
			.ToStdString();
	}

	/** A uniform buffer's members as "Name@Offset+Size ...". */
	std::string Layout(const FShaderResourceBinding& Resource)
	{
		std::string Text;
		for (const FShaderUniformMember& Member : Resource.Members)
		{
			Text += (Text.empty() ? "" : " ") + Member.Name.ToStdString() + "@" + std::to_string(Member.Offset) + "+" + std::to_string(Member.Size);
		}
		return Text;
	}

	std::string AllErrors(const FShaderCompileOutput& Output)
	{
		return FString::Join(Output.Errors, TEXT("\n")).ToStdString();
	}
}

class ShaderCompilerTest : public ShaderCompilerTestFixture
{
protected:
	FShaderCompileOutput Compile(const char* File, const char* Entry, EShaderStage Stage, const TMap<FString, FString>& Defines = {})
	{
		FShaderCompileInput Input(Virtual(File), FString(Entry), Stage);
		Input.Defines = Defines;
		return Compiler.Compile(Input);
	}

	/** Caching off: these tests are about what glslang and the reflection produce. */
	FShaderCompiler Compiler{FString()};
};

TEST_F(ShaderCompilerTest, ComputeShaderReflectsItsBindingsUniformLayoutAndThreadGroup)
{
	Write("Colorize.usf", ColorizeShader);
	const FShaderCompileOutput Output = Compile("Colorize.usf", "MainCS", EShaderStage::Compute);
	ASSERT_TRUE(Output.bSucceeded) << AllErrors(Output);
	EXPECT_TRUE(Output.Errors.IsEmpty());
	ASSERT_GT(Output.Spirv.Num(), 5);
	EXPECT_EQ(Output.Spirv[0], 0x07230203u);
	EXPECT_EQ(Output.Spirv[1], 0x00010500u) << "SPIR-V 1.5";

	std::vector<std::string> Bindings;
	for (const FShaderResourceBinding& Resource : Output.Resources)
	{
		Bindings.push_back(Describe(Resource));
	}
	EXPECT_EQ(Bindings, (std::vector<std::string>{"Params UniformBuffer set 0 binding 0", "Source TextureSRV set 0 binding 32",
							"SourceSampler Sampler set 0 binding 64", "Offsets BufferSRV set 0 binding 96",
							"Destination TextureUAV set 0 binding 128"}))
		<< "each kind in its own range, so the texture and the sampler differ; the unused texture is left out";

	const FShaderResourceBinding* Params = Output.FindResource(TEXT("Params"));
	ASSERT_NE(Params, nullptr);
	EXPECT_EQ(Params->Size, 36u);
	EXPECT_EQ(Layout(*Params), "Tint@0+16 Flags@16+16 Strength@32+4");
	EXPECT_TRUE(Output.FindResource(TEXT("Source"))->Members.IsEmpty());
	EXPECT_EQ(Output.FindResource(TEXT("params")), nullptr) << "names compare with letter case";

	EXPECT_EQ(Output.ThreadGroupSize[0], 8u);
	EXPECT_EQ(Output.ThreadGroupSize[1], 4u);
	EXPECT_EQ(Output.ThreadGroupSize[2], 1u);

	// OpTypeImage: result, sampled type, Dim, Depth, Arrayed, MS, Sampled, Format. The storage
	// image must have format Unknown (0) so it can write B8G8R8A8_UNORM images.
	int32 StorageImages = 0;
	for (const std::vector<uint32>& Image : Instructions(Output.Spirv, 25))
	{
		ASSERT_GE(Image.size(), 8u);
		if (Image[6] == 2)
		{
			++StorageImages;
			EXPECT_EQ(Image[7], 0u) << "a RW texture is declared without a storage format";
		}
	}
	EXPECT_EQ(StorageImages, 1);
}

TEST_F(ShaderCompilerTest, BuffersArraysAndMatricesAreReflectedByKindAndSize)
{
	Write("Buffers.usf", R"(cbuffer Layout
{
	float4x4 Transform;
	float Weights[3];
	float2 Tail;
};
StructuredBuffer<float4> Input;
RWStructuredBuffer<float4> Output;
Buffer<float4> Typed;
RWBuffer<float4> TypedOut;
Texture2D<float4> Layers[4];

[numthreads(64, 1, 1)]
void MainCS(uint3 Id : SV_DispatchThreadID)
{
	float4 Value = mul(Transform, Input[Id.x]) * Weights[Id.x % 3] + Typed[Id.x] + Layers[Id.x % 4].Load(int3(0, 0, 0));
	Output[Id.x] = Value + float4(Tail, 0, 0);
	TypedOut[Id.x] = Value;
}
)");
	const FShaderCompileOutput Output = Compile("Buffers.usf", "MainCS", EShaderStage::Compute);
	ASSERT_TRUE(Output.bSucceeded) << AllErrors(Output);

	const FShaderResourceBinding* Block = Output.FindResource(TEXT("Layout"));
	ASSERT_NE(Block, nullptr);
	// Array elements start on 16-byte rows and the array ends with its last element; glslang
	// starts the next member on a new row, and the reflection must follow the code, not fxc.
	EXPECT_EQ(Layout(*Block), "Transform@0+64 Weights@64+36 Tail@112+8");
	EXPECT_EQ(Block->Size, 120u);

	ASSERT_NE(Output.FindResource(TEXT("Input")), nullptr);
	EXPECT_EQ(Output.FindResource(TEXT("Input"))->Kind, EShaderResourceKind::BufferSRV);
	ASSERT_NE(Output.FindResource(TEXT("Output")), nullptr);
	EXPECT_EQ(Output.FindResource(TEXT("Output"))->Kind, EShaderResourceKind::BufferUAV);
	ASSERT_NE(Output.FindResource(TEXT("Typed")), nullptr);
	EXPECT_EQ(Output.FindResource(TEXT("Typed"))->Kind, EShaderResourceKind::TypedBufferSRV);
	ASSERT_NE(Output.FindResource(TEXT("TypedOut")), nullptr);
	EXPECT_EQ(Output.FindResource(TEXT("TypedOut"))->Kind, EShaderResourceKind::TypedBufferUAV);
	const FShaderResourceBinding* Layers = Output.FindResource(TEXT("Layers"));
	ASSERT_NE(Layers, nullptr);
	EXPECT_EQ(Layers->Kind, EShaderResourceKind::TextureSRV);
	EXPECT_EQ(Layers->ArraySize, 4u);

	for (int32 Index = 1; Index < Output.Resources.Num(); ++Index)
	{
		EXPECT_LT(Output.Resources[Index - 1].Binding, Output.Resources[Index].Binding) << "sorted, no binding shared";
	}
}

TEST_F(ShaderCompilerTest, ExplicitRegistersShiftIntoTheirRangeAndCollisionsFail)
{
	Write("Registers.usf", R"(Texture2D<float4> Source : register(t2);
SamplerState Point : register(s1);
RWTexture2D<float4> Destination : register(u3);
#ifdef COLLIDE
Texture2D<float4> Far : register(t32);
SamplerState Near : register(s0);
#endif

[numthreads(1, 1, 1)]
void MainCS(uint3 Id : SV_DispatchThreadID)
{
	float4 Value = Source.SampleLevel(Point, float2(0, 0), 0);
#ifdef COLLIDE
	Value += Far.SampleLevel(Near, float2(0, 0), 0);
#endif
	Destination[Id.xy] = Value;
}
)");
	const FShaderCompileOutput Output = Compile("Registers.usf", "MainCS", EShaderStage::Compute);
	ASSERT_TRUE(Output.bSucceeded) << AllErrors(Output);
	ASSERT_EQ(Output.Resources.Num(), 3);
	EXPECT_EQ(Describe(Output.Resources[0]), "Source TextureSRV set 0 binding 34");
	EXPECT_EQ(Describe(Output.Resources[1]), "Point Sampler set 0 binding 65");
	EXPECT_EQ(Describe(Output.Resources[2]), "Destination TextureUAV set 0 binding 131");

	// t32 lands on 64, the binding of s0.
	const FShaderCompileOutput Collision = Compile("Registers.usf", "MainCS", EShaderStage::Compute, {{TEXT("COLLIDE"), TEXT("1")}});
	EXPECT_FALSE(Collision.bSucceeded);
	EXPECT_EQ(AllErrors(Collision), Real("Registers.usf") + ": 'Far' and 'Near' share binding 64 of set 0; a register index is beyond its kind's range");
}

TEST_F(ShaderCompilerTest, DefinesChangeTheCodeAndBadDefinesAreRefused)
{
	Write("Defines.usf", R"(RWTexture2D<float4> Destination;
#if USE_SOURCE
Texture2D<float4> Source;
#endif
[numthreads(1, 1, 1)]
void MainCS(uint3 Id : SV_DispatchThreadID)
{
#if USE_SOURCE
	Destination[Id.xy] = Source.Load(int3(Id.xy, 0)) * SCALE;
#else
	Destination[Id.xy] = SCALE;
#endif
}
)");
	const FShaderCompileOutput Plain = Compile("Defines.usf", "MainCS", EShaderStage::Compute, {{TEXT("USE_SOURCE"), TEXT("0")}, {TEXT("SCALE"), TEXT("2.0")}});
	const FShaderCompileOutput Half = Compile("Defines.usf", "MainCS", EShaderStage::Compute, {{TEXT("USE_SOURCE"), TEXT("0")}, {TEXT("SCALE"), TEXT("0.5")}});
	const FShaderCompileOutput Sourced = Compile("Defines.usf", "MainCS", EShaderStage::Compute, {{TEXT("SCALE"), TEXT("2.0")}, {TEXT("USE_SOURCE"), TEXT("1")}});
	ASSERT_TRUE(Plain.bSucceeded && Half.bSucceeded && Sourced.bSucceeded) << AllErrors(Plain) << AllErrors(Half) << AllErrors(Sourced);
	EXPECT_NE(Plain.Spirv, Half.Spirv) << "a define's value reaches the code";
	EXPECT_EQ(Plain.FindResource(TEXT("Source")), nullptr);
	EXPECT_NE(Sourced.FindResource(TEXT("Source")), nullptr);

	FShaderCompileInput Input(Virtual("Defines.usf"), TEXT("MainCS"), EShaderStage::Compute);
	Input.SetDefine(TEXT("SCALE"), 3);
	Input.SetDefine(TEXT("USE_SOURCE"), TEXT("0"));
	EXPECT_TRUE(Compiler.Compile(Input).bSucceeded);

	FShaderCompileInput Injecting = Input;
	Injecting.SetDefine(TEXT("SCALE"), TEXT("1\n#error injected"));
	Injecting.SetDefine(TEXT("2BAD"), TEXT("1"));
	const FShaderCompileOutput Refused = Compiler.Compile(Injecting);
	EXPECT_FALSE(Refused.bSucceeded);
	EXPECT_TRUE(Refused.Spirv.IsEmpty());
	EXPECT_EQ(AllErrors(Refused), Virtual("Defines.usf").ToStdString() + ": The value of the define 'SCALE' spans several lines\n"
		+ Virtual("Defines.usf").ToStdString() + ": The define name '2BAD' is not an identifier");
}

TEST_F(ShaderCompilerTest, VertexAndPixelShadersCompile)
{
	Write("Mesh.usf", R"(cbuffer View
{
	float4x4 WorldToClip;
};
Texture2D<float4> BaseColor;
SamplerState BaseSampler;

struct FVertexOutput
{
	float4 Position : SV_Position;
	float2 Uv : TEXCOORD0;
};

FVertexOutput MainVS(float3 Position : POSITION, float2 Uv : TEXCOORD0)
{
	FVertexOutput Output;
	Output.Position = mul(WorldToClip, float4(Position, 1));
	Output.Uv = Uv;
	return Output;
}

float4 MainPS(FVertexOutput Input) : SV_Target0
{
	return BaseColor.Sample(BaseSampler, Input.Uv);
}
)");
	const FShaderCompileOutput Vertex = Compile("Mesh.usf", "MainVS", EShaderStage::Vertex);
	const FShaderCompileOutput Pixel = Compile("Mesh.usf", "MainPS", EShaderStage::Pixel);
	ASSERT_TRUE(Vertex.bSucceeded) << AllErrors(Vertex);
	ASSERT_TRUE(Pixel.bSucceeded) << AllErrors(Pixel);

	// OpEntryPoint: execution model (0 vertex, 4 fragment), function, name.
	const auto VertexEntries = Instructions(Vertex.Spirv, 15);
	const auto PixelEntries = Instructions(Pixel.Spirv, 15);
	ASSERT_EQ(VertexEntries.size(), 1u);
	ASSERT_EQ(PixelEntries.size(), 1u);
	EXPECT_EQ(VertexEntries[0][0], 0u);
	EXPECT_EQ(PixelEntries[0][0], 4u);
	EXPECT_STREQ(reinterpret_cast<const char*>(&VertexEntries[0][2]), "MainVS");
	EXPECT_STREQ(reinterpret_cast<const char*>(&PixelEntries[0][2]), "MainPS");

	ASSERT_EQ(Vertex.Resources.Num(), 1);
	EXPECT_EQ(Layout(Vertex.Resources[0]), "WorldToClip@0+64");
	ASSERT_EQ(Pixel.Resources.Num(), 2);
	EXPECT_EQ(Describe(Pixel.Resources[0]), "BaseColor TextureSRV set 0 binding 32");
	EXPECT_EQ(Describe(Pixel.Resources[1]), "BaseSampler Sampler set 0 binding 64");
	EXPECT_EQ(Vertex.ThreadGroupSize[0], 0u);

	const FShaderCompileOutput WrongStage = Compile("Mesh.usf", "MainPS", EShaderStage::Compute);
	EXPECT_FALSE(WrongStage.bSucceeded) << "a pixel entry point compiled for the compute stage";
	EXPECT_FALSE(WrongStage.Errors.IsEmpty());
}

TEST_F(ShaderCompilerTest, EachStageSeesItsOwnStageDefine)
{
	Write("Stages.usf", R"(#if COMPUTESHADER && !PIXELSHADER && !VERTEXSHADER
RWStructuredBuffer<uint> Output;
[numthreads(1, 1, 1)]
void Main(uint3 Id : SV_DispatchThreadID)
{
	Output[0] = 1;
}
#endif
#if PIXELSHADER && !COMPUTESHADER && !VERTEXSHADER
float4 Main() : SV_Target0
{
	return 1;
}
#endif
)");
	const FShaderCompileOutput Compute = Compile("Stages.usf", "Main", EShaderStage::Compute);
	ASSERT_TRUE(Compute.bSucceeded) << AllErrors(Compute);
	ASSERT_EQ(Compute.Resources.Num(), 1);
	EXPECT_EQ(Compute.Resources[0].Name, TEXT("Output"));
	const FShaderCompileOutput Pixel = Compile("Stages.usf", "Main", EShaderStage::Pixel);
	ASSERT_TRUE(Pixel.bSucceeded) << AllErrors(Pixel);
	EXPECT_TRUE(Pixel.Resources.IsEmpty());
	EXPECT_FALSE(Compile("Stages.usf", "Main", EShaderStage::Vertex).bSucceeded) << "no entry point exists for the vertex stage";
}

TEST_F(ShaderCompilerTest, VirtualAndRelativeIncludesResolveThroughTheMappings)
{
	Write("Lib/Color.ush", "#ifndef COLOR_USH\n#define COLOR_USH\nfloat4 Tint() { return float4(1, 0.5, 0.25, 1); }\n#endif\n");
	Write("Sub/Local.ush", "#include \"../Lib/Color.ush\"\nfloat4 Doubled() { return Tint() * 2; }\n");
	Write("Sub/Main.usf", "#include \"" + VirtualRoot + "/Lib/Color.ush\"\n#include \"Local.ush\"\n"
		"RWTexture2D<float4> Destination;\n[numthreads(1, 1, 1)]\nvoid MainCS(uint3 Id : SV_DispatchThreadID) { Destination[Id.xy] = Doubled(); }\n");
	const FShaderCompileOutput Output = Compile("Sub/Main.usf", "MainCS", EShaderStage::Compute);
	EXPECT_TRUE(Output.bSucceeded) << AllErrors(Output);

	// An error inside an included file names that file and its own line.
	Write("Lib/Broken.ush", "float4 Broken()\n{\n\treturn Undeclared;\n}\n");
	Write("UsesBroken.usf", "#include \"Lib/Broken.ush\"\n[numthreads(1, 1, 1)]\nvoid MainCS() {}\n");
	const FShaderCompileOutput Broken = Compile("UsesBroken.usf", "MainCS", EShaderStage::Compute);
	EXPECT_FALSE(Broken.bSucceeded);
	ASSERT_FALSE(Broken.Errors.IsEmpty());
	EXPECT_EQ(Broken.Errors[0].ToStdString().rfind(Real("Lib/Broken.ush") + ":3: 'Undeclared' : ", 0), 0u) << AllErrors(Broken);
}

TEST_F(ShaderCompilerTest, MissingFilesAndIncludesAreErrorsThatNameThem)
{
	Write("Includer.usf", "// uses a header that is not there\n\n#include \"Missing.ush\"\n[numthreads(1, 1, 1)]\nvoid MainCS() {}\n");
	const FShaderCompileOutput Missing = Compile("Includer.usf", "MainCS", EShaderStage::Compute);
	EXPECT_FALSE(Missing.bSucceeded);
	ASSERT_FALSE(Missing.Errors.IsEmpty());
	const std::string MissingError = Missing.Errors[0].ToStdString();
	EXPECT_EQ(MissingError.rfind(Real("Includer.usf") + ":3: '#include' : ", 0), 0u) << MissingError;
	EXPECT_NE(MissingError.find(Real("Missing.ush")), std::string::npos) << MissingError;

	Write("Unmapped.usf", "#include \"/Nowhere/Else.ush\"\n[numthreads(1, 1, 1)]\nvoid MainCS() {}\n");
	const std::string UnmappedErrors = AllErrors(Compile("Unmapped.usf", "MainCS", EShaderStage::Compute));
	EXPECT_NE(UnmappedErrors.find("No shader source folder is mapped for '/Nowhere/Else.ush'"), std::string::npos) << UnmappedErrors;

	// A relative include stays inside the mapped folder even where the real folder above exists.
	Write("../Outside.ush", "float4 Outside() { return 1; }\n");
	Write("Escapes.usf", "#include \"../Outside.ush\"\n[numthreads(1, 1, 1)]\nvoid MainCS() {}\n");
	const std::string EscapeErrors = AllErrors(Compile("Escapes.usf", "MainCS", EShaderStage::Compute));
	EXPECT_NE(EscapeErrors.find("climbs out of '" + VirtualRoot + "'"), std::string::npos) << EscapeErrors;

	const FShaderCompileOutput NoFile = Compile("Absent.usf", "MainCS", EShaderStage::Compute);
	EXPECT_FALSE(NoFile.bSucceeded);
	EXPECT_EQ(AllErrors(NoFile), Virtual("Absent.usf").ToStdString() + ": Cannot read the shader source file '" + Real("Absent.usf")
		+ "' (virtual path '" + Virtual("Absent.usf").ToStdString() + "')");

	FShaderCompileInput Unmapped(TEXT("/Unmapped/X.usf"), TEXT("MainCS"), EShaderStage::Compute);
	const FShaderCompileOutput NotMapped = Compiler.Compile(Unmapped);
	EXPECT_FALSE(NotMapped.bSucceeded);
	EXPECT_EQ(AllErrors(NotMapped), "/Unmapped/X.usf: GetShaderSourceFilePath: No shader source folder is mapped for '/Unmapped/X.usf'");
}

TEST_F(ShaderCompilerTest, SyntaxErrorsGiveTheRealFileAndLineAndAreLoggedOnce)
{
	Write("Syntax.usf", "RWTexture2D<float4> Destination;\n\n[numthreads(1, 1, 1)]\nvoid MainCS(uint3 Id : SV_DispatchThreadID)\n{\n\tfloat Value = ;\n}\n");
	FLogCapture Capture;
	// Defines go ahead of the source; they must not shift its line numbers.
	const FShaderCompileOutput Output = Compile("Syntax.usf", "MainCS", EShaderStage::Compute, {{TEXT("A"), TEXT("1")}, {TEXT("B"), TEXT("2")}});
	EXPECT_FALSE(Output.bSucceeded);
	EXPECT_TRUE(Output.Spirv.IsEmpty());
	EXPECT_TRUE(Output.Resources.IsEmpty());
	ASSERT_FALSE(Output.Errors.IsEmpty());
	for (const FString& Error : Output.Errors)
	{
		EXPECT_EQ(Error.ToStdString().rfind(Real("Syntax.usf") + ":6: ", 0), 0u) << Error.ToStdString();
	}

	const TArray<FString> Logged = Capture.GetMessages(ELogVerbosity::Error);
	ASSERT_EQ(Logged.Num(), 1);
	EXPECT_EQ(Logged[0], FString::Printf(TEXT("Compiling '%s' (MainCS, compute) failed:\n%s"), *Virtual("Syntax.usf"),
							 *FString::Join(Output.Errors, TEXT("\n"))));

	Write("Valid.usf", "[numthreads(1, 1, 1)]\nvoid MainCS() {}\n");
	const FShaderCompileOutput NoEntry = Compile("Valid.usf", "Missing", EShaderStage::Compute);
	EXPECT_FALSE(NoEntry.bSucceeded);
	ASSERT_FALSE(NoEntry.Errors.IsEmpty());
	EXPECT_EQ(AllErrors(NoEntry), Real("Valid.usf") + ": Linking compute stage: Entry point not found");
	const FShaderCompileOutput BadEntry = Compile("Syntax.usf", "Main CS", EShaderStage::Compute);
	EXPECT_EQ(AllErrors(BadEntry), Virtual("Syntax.usf").ToStdString() + ": The entry point 'Main CS' is not an identifier");
}
