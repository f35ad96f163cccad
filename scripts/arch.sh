# Sourced: sets qb_arch to the Windows target the tests can run here.
#
# The programs are 32-bit Windows programs, run by 32-bit Wine. Some kernels are booted without
# 32-bit emulation (ia32_emulation=off), and there 32-bit Wine cannot start; the same sources
# then build as 64-bit Windows programs for 64-bit Wine. QB_ARCH=i686|x86_64 forces a choice.
qb_detect_arch() {
  if [[ -n "${QB_ARCH:-}" ]]; then
    qb_arch=$QB_ARCH
    return
  fi
  # A 96-byte i386 Linux program that exits with 7: runs only where 32-bit code runs.
  local probe
  probe=$(mktemp)
  base64 -d >"$probe" <<<'f0VMRgEBAQAAAAAAAAAAAAIAAwABAAAAVIAECDQAAAAAAAAAAAAAADQAIAABAAAAAAAAAAEAAAAAAAAAAIAECACABAhgAAAAYAAAAAUAAAAAEAAAuAEAAAC7BwAAAM2A'
  chmod +x "$probe"
  local code=0
  "$probe" 2>/dev/null || code=$?
  rm -f "$probe"
  if [[ $code -eq 7 ]]; then qb_arch=i686; else qb_arch=x86_64; fi
}
qb_detect_arch
