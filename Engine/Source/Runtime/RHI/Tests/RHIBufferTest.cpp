#include "RHITestFixture.h"

#include <numeric>
#include <vector>

namespace
{
	const char* const FillShader = R"(
RWStructuredBuffer<uint> Data;
uint Base;

[numthreads(16, 1, 1)]
void FillCS(uint3 Id : SV_DispatchThreadID)
{
	Data[Id.x] = Base + Id.x * Id.x;
}
)";
}

class RHIBufferTest : public FRHITestFixture
{
};

TEST_F(RHIBufferTest, LockedBytesRoundTripAndALockWaitsForRecordedWork)
{
	FBufferRHIRef Buffer = RHICmdList.CreateStructuredBuffer(sizeof(uint32), 64 * sizeof(uint32), BUF_UnorderedAccess, FRHIResourceCreateInfo(TEXT("Data")));
	EXPECT_EQ(Buffer->GetSize(), 256u);
	EXPECT_EQ(Buffer->GetStride(), 4u);
	EXPECT_EQ(Buffer->GetName(), TEXT("Data"));

	std::vector<uint8> Bytes(96);
	std::iota(Bytes.begin(), Bytes.end(), uint8(7));
	std::memcpy(RHICmdList.LockBuffer(Buffer, 32, 96, RLM_WriteOnly), Bytes.data(), Bytes.size());
	RHICmdList.UnlockBuffer(Buffer);
	const uint8* Read = static_cast<const uint8*>(RHICmdList.LockBuffer(Buffer, 32, 96, RLM_ReadOnly));
	EXPECT_EQ(std::vector<uint8>(Read, Read + 96), Bytes);
	RHICmdList.UnlockBuffer(Buffer);

	// No explicit submission: the lock itself waits for the dispatch.
	FComputeShaderRHIRef Fill = MakeComputeShader("Fill.usf", FillShader, "FillCS");
	FUnorderedAccessViewRHIRef View = RHICmdList.CreateUnorderedAccessView(Buffer);
	SetComputePipelineState(RHICmdList, Fill);
	FRHIBatchedShaderParameters Parameters;
	Parameters.SetUAV(BindingOf(Fill, "Data"), View);
	SetLoose(Parameters, Fill, "Base", uint32(1000));
	RHICmdList.SetBatchedShaderParameters(Fill, Parameters);
	RHICmdList.DispatchComputeShader(4, 1, 1);
	const uint32* Values = static_cast<const uint32*>(RHICmdList.LockBuffer(Buffer, 0, Buffer->GetSize(), RLM_ReadOnly));
	for (uint32 Index = 0; Index < 64; ++Index)
	{
		ASSERT_EQ(Values[Index], 1000 + Index * Index) << "element " << Index;
	}
	RHICmdList.UnlockBuffer(Buffer);
}

TEST_F(RHIBufferTest, BufferMisuseFailsNamingTheBuffer)
{
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.CreateVertexBuffer(0, BUF_Static, FRHIResourceCreateInfo(TEXT("Nothing"))); }),
		"Buffer 'Nothing' has size 0; an empty buffer still takes 1 byte");
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.CreateStructuredBuffer(0, 16, BUF_None, FRHIResourceCreateInfo(TEXT("NoStride"))); }),
		"Structured buffer 'NoStride' has an element stride of 0");

	FBufferRHIRef Vertices = RHICmdList.CreateVertexBuffer(48, BUF_Static, FRHIResourceCreateInfo(TEXT("Vertices")));
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.LockBuffer(Vertices, 40, 16, RLM_WriteOnly); }),
		"LockBuffer of 'Vertices': bytes 40 to 56 lie outside its 48 bytes");
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.UnlockBuffer(Vertices); }), "UnlockBuffer of 'Vertices', which is not locked");
	RHICmdList.LockBuffer(Vertices, 0, 48, RLM_WriteOnly);
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.LockBuffer(Vertices, 0, 4, RLM_WriteOnly); }), "Buffer 'Vertices' is locked already");
	RHICmdList.UnlockBuffer(Vertices);
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.CreateShaderResourceView(Vertices); }),
		"Buffer 'Vertices' is not a structured or byte-address buffer and cannot have a shader resource view");
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.CreateUnorderedAccessView(Vertices); }),
		"Buffer 'Vertices' was not created with BUF_UnorderedAccess and cannot have an unordered access view");

	FBufferRHIRef Structured = RHICmdList.CreateStructuredBuffer(4, 16, BUF_ShaderResource, FRHIResourceCreateInfo(TEXT("Structured")));
	FTextureRHIRef Target = RHICmdList.CreateTexture(FRHITextureCreateDesc::Create2D(TEXT("Target"), 4, 4, PF_B8G8R8A8).SetFlags(TexCreate_RenderTargetable));
	RHICmdList.BeginRenderPass(FRHIRenderPassInfo(Target, ERenderTargetActions::Clear_Store), TEXT("Pass"));
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.SetStreamSource(0, Structured, 0); }),
		"Buffer 'Structured' was not created with BUF_VertexBuffer and cannot be a vertex stream");
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.LockBuffer(Vertices, 0, 4, RLM_WriteOnly); }),
		"LockBuffer of 'Vertices' inside render pass 'Pass'; end the pass first");
	RHICmdList.EndRenderPass();
}
