#pragma once

// Fixed states named by template arguments, created once and shared:
// TStaticSamplerState<SF_Bilinear, AM_Clamp, AM_Clamp, AM_Clamp>::GetRHI() and the blend,
// rasterizer and depth-stencil states of graphics pipelines.

#include "RHI.h"
#include "RHIResources.h"

template <ESamplerFilter Filter = SF_Point, ESamplerAddressMode AddressU = AM_Clamp, ESamplerAddressMode AddressV = AM_Clamp,
	ESamplerAddressMode AddressW = AM_Clamp, int32 MipBias = 0, int32 MaxAnisotropy = 1, uint32 BorderColor = 0,
	ECompareFunction SamplerComparisonFunction = CF_Never>
class TStaticSamplerState
{
public:
	/** The shared sampler, created by the first call (render thread, as every RHI creation). */
	static FRHISamplerState* GetRHI()
	{
		static const FSamplerStateRHIRef State = [] {
			FSamplerStateInitializerRHI Initializer;
			Initializer.Filter = Filter;
			Initializer.AddressU = AddressU;
			Initializer.AddressV = AddressV;
			Initializer.AddressW = AddressW;
			Initializer.MipBias = float(MipBias);
			Initializer.MaxAnisotropy = MaxAnisotropy;
			Initializer.BorderColor = BorderColor;
			Initializer.SamplerComparisonFunction = SamplerComparisonFunction;
			return RHICreateSamplerState(Initializer);
		}();
		return State;
	}
};

template <EColorWriteMask ColorWriteMask = CW_RGBA, EBlendOperation ColorBlendOp = BO_Add, EBlendFactor ColorSrcBlend = BF_One,
	EBlendFactor ColorDestBlend = BF_Zero, EBlendOperation AlphaBlendOp = BO_Add, EBlendFactor AlphaSrcBlend = BF_One,
	EBlendFactor AlphaDestBlend = BF_Zero>
class TStaticBlendState
{
public:
	static FRHIBlendState* GetRHI()
	{
		static const FBlendStateRHIRef State = [] {
			FBlendStateInitializerRHI Initializer;
			Initializer.RenderTarget = {ColorBlendOp, ColorSrcBlend, ColorDestBlend, AlphaBlendOp, AlphaSrcBlend, AlphaDestBlend, ColorWriteMask};
			return FBlendStateRHIRef(new FRHIBlendState(Initializer));
		}();
		return State;
	}
};

template <ERasterizerFillMode FillMode = FM_Solid, ERasterizerCullMode CullMode = CM_None>
class TStaticRasterizerState
{
public:
	static FRHIRasterizerState* GetRHI()
	{
		static const FRasterizerStateRHIRef State(new FRHIRasterizerState({FillMode, CullMode}));
		return State;
	}
};

template <bool bEnableDepthWrite = true, ECompareFunction DepthTest = CF_DepthNearOrEqual>
class TStaticDepthStencilState
{
public:
	static FRHIDepthStencilState* GetRHI()
	{
		static const FDepthStencilStateRHIRef State(new FRHIDepthStencilState({bEnableDepthWrite, DepthTest}));
		return State;
	}
};
