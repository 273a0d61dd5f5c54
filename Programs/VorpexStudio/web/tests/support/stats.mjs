// Summaries of measured latencies.

/** The q-quantile (0 to 1) of values by the nearest-rank method. */
export function quantile(values, q) {
  if (values.length === 0) {
    return null;
  }
  const sorted = [...values].sort((a, b) => a - b);
  const rank = Math.max(1, Math.ceil(q * sorted.length));
  return sorted[rank - 1];
}

export function summarise(values) {
  return { moves: values.length, medianMs: quantile(values, 0.5), p95Ms: quantile(values, 0.95) };
}
