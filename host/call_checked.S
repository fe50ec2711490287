/* const void* zl_call_checked(const void* fn, const void* const* args,
 *                             int count, int* stack_change)        (cdecl)
 *
 * Pushes args[count-1] .. args[0] (so args[0] is the first argument), calls
 * fn, and stores in *stack_change how far the stack pointer moved up across
 * the call: 4 * count for a stdcall callee, 0 for one that leaves the stack
 * as it found it. The caller's stack is restored whatever the callee did.
 */
        .text
        .globl  _zl_call_checked
        .def    _zl_call_checked; .scl 2; .type 32; .endef
_zl_call_checked:
        pushl   %ebp
        movl    %esp, %ebp
        pushl   %ebx
        pushl   %esi
        pushl   %edi
        movl    %esp, %edi          /* stack before the arguments */
        movl    12(%ebp), %esi      /* args */
        movl    16(%ebp), %ecx      /* count */
1:      testl   %ecx, %ecx
        jz      2f
        decl    %ecx
        pushl   (%esi,%ecx,4)
        jmp     1b
2:      movl    %esp, %ebx          /* stack at the call */
        call    *8(%ebp)
        movl    %esp, %ecx
        subl    %ebx, %ecx
        movl    20(%ebp), %edx
        movl    %ecx, (%edx)
        movl    %edi, %esp
        popl    %edi
        popl    %esi
        popl    %ebx
        popl    %ebp
        ret
