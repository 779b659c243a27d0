! Writes golden.txt: gfortran's own output records for the formats and
! list-directed writes of Wellfit, with the values they were written from,
! and what gfortran's list-directed READ makes of sample input records (see
! readcase for that layout). The C++ text I/O in solver/textio must reproduce
! every record byte for byte and every read value and status.
! Build and run with make_golden.sh.
!
! Layout of golden.txt, one case after another:
!   CASE <group.name>
!   FMT <format text, or * for a list-directed write>
!   I <integer>                      one line per value, in order
!   R <16 hex digits of the IEEE bits> <the value, for the reader>
!   A |<text>|
!   OUT |<record>|                   one line per output record
!   END
module golden_io
  implicit none
  integer, parameter :: dp = kind(1d0), maxv = 14
  integer :: g, t
  integer :: nv
  character(len=maxv) :: sig
  integer :: iv(maxv), al(maxv)
  real(dp) :: rv(maxv)
  character(len=200) :: av(maxv)
contains

  subroutine open_golden(path)
    character(*), intent(in) :: path
    open(newunit=g, file=path, status='replace', action='write')
    write(g, '(a)') '# gfortran output records for the textio formatter; regenerate with make_golden.sh'
  end subroutine

  ! Takes the values of one case in order and notes their kinds as a signature
  ! such as "IRRI" (integer, real, real, integer).
  subroutine take(v1, v2, v3, v4, v5, v6, v7, v8, v9, v10, v11, v12, v13, v14)
    class(*), intent(in), optional :: v1, v2, v3, v4, v5, v6, v7, v8, v9, v10, v11, v12, v13, v14
    nv = 0
    sig = ''
    if (present(v1)) call take1(v1)
    if (present(v2)) call take1(v2)
    if (present(v3)) call take1(v3)
    if (present(v4)) call take1(v4)
    if (present(v5)) call take1(v5)
    if (present(v6)) call take1(v6)
    if (present(v7)) call take1(v7)
    if (present(v8)) call take1(v8)
    if (present(v9)) call take1(v9)
    if (present(v10)) call take1(v10)
    if (present(v11)) call take1(v11)
    if (present(v12)) call take1(v12)
    if (present(v13)) call take1(v13)
    if (present(v14)) call take1(v14)
  end subroutine

  subroutine take1(v)
    class(*), intent(in) :: v
    nv = nv + 1
    select type (v)
    type is (integer)
      sig(nv:nv) = 'I'
      iv(nv) = v
    type is (real(dp))
      sig(nv:nv) = 'R'
      rv(nv) = v
    type is (character(*))
      sig(nv:nv) = 'A'
      av(nv) = v
      al(nv) = len(v)
    class default
      error stop 'value of an unexpected kind'
    end select
  end subroutine

  subroutine begin_case(id, fmt)
    character(*), intent(in) :: id, fmt
    integer :: k
    write(g, '(2a)') 'CASE ', id
    write(g, '(2a)') 'FMT ', fmt
    do k = 1, nv
      select case (sig(k:k))
      case ('I')
        write(g, '(a,i0)') 'I ', iv(k)
      case ('R')
        write(g, '(a,z16.16,1x,es25.17)') 'R ', transfer(rv(k), 0_8), rv(k)
      case ('A')
        write(g, '(3a)') 'A |', av(k)(1:al(k)), '|'
      end select
    end do
    open(newunit=t, status='scratch', form='formatted', action='readwrite')
  end subroutine

  ! Copies the records the write produced into the golden file, each between
  ! bars so that trailing blanks stay visible.
  subroutine end_case()
    use, intrinsic :: iso_fortran_env, only: iostat_end, iostat_eor
    character(len=4000) :: buf
    integer :: n, ios
    rewind(t)
    do
      read(t, '(a)', advance='no', size=n, iostat=ios) buf
      if (ios == iostat_end) exit
      if (ios /= iostat_eor) error stop 'record longer than the buffer'
      write(g, '(3a)') 'OUT |', buf(1:n), '|'
    end do
    close(t)
    write(g, '(a)') 'END'
  end subroutine

  function text(k) result(s)
    integer, intent(in) :: k
    character(len=al(k)) :: s
    s = av(k)(1:al(k))
  end function

  ! One formatted write of the values with the format.
  subroutine fcase(id, fmt, v1, v2, v3, v4, v5, v6, v7, v8, v9, v10, v11, v12, v13, v14)
    character(*), intent(in) :: id, fmt
    class(*), intent(in), optional :: v1, v2, v3, v4, v5, v6, v7, v8, v9, v10, v11, v12, v13, v14
    call take(v1, v2, v3, v4, v5, v6, v7, v8, v9, v10, v11, v12, v13, v14)
    call begin_case(id, fmt)
    call emit_formatted(fmt)
    call end_case()
  end subroutine

  ! One list-directed write of the values.
  subroutine lcase(id, v1, v2, v3, v4, v5, v6, v7, v8, v9, v10, v11, v12, v13, v14)
    character(*), intent(in) :: id
    class(*), intent(in), optional :: v1, v2, v3, v4, v5, v6, v7, v8, v9, v10, v11, v12, v13, v14
    call take(v1, v2, v3, v4, v5, v6, v7, v8, v9, v10, v11, v12, v13, v14)
    call begin_case(id, '*')
    call emit_list()
    call end_case()
  end subroutine

  ! One case per real value, all with the same format.
  subroutine rcases(id, fmt, values)
    character(*), intent(in) :: id, fmt
    real(dp), intent(in) :: values(:)
    integer :: k
    do k = 1, size(values)
      call fcase(id, fmt, values(k))
    end do
  end subroutine

  subroutine icases(id, fmt, values)
    character(*), intent(in) :: id, fmt
    integer, intent(in) :: values(:)
    integer :: k
    do k = 1, size(values)
      call fcase(id, fmt, values(k))
    end do
  end subroutine

  ! A WRITE statement needs its item kinds at compile time, so each value
  ! signature used by the cases has its statement here; integers alone and
  ! reals alone are written as array sections.
  subroutine emit_formatted(f)
    character(*), intent(in) :: f
    if (nv > 0 .and. verify(sig(1:nv), 'I') == 0) then
      write(t, f) iv(1:nv)
      return
    end if
    if (nv > 0 .and. verify(sig(1:nv), 'R') == 0) then
      write(t, f) rv(1:nv)
      return
    end if
    select case (sig(1:nv))
    case ('')
      write(t, f)
    case ('A')
      write(t, f) text(1)
    case ('AAAA')
      write(t, f) text(1), text(2), text(3), text(4)
    case ('AI')
      write(t, f) text(1), iv(2)
    case ('AIAA')
      write(t, f) text(1), iv(2), text(3), text(4)
    case ('AIAI')
      write(t, f) text(1), iv(2), text(3), iv(4)
    case ('AIAR')
      write(t, f) text(1), iv(2), text(3), rv(4)
    case ('AIII')
      write(t, f) text(1), iv(2), iv(3), iv(4)
    case ('AIIII')
      write(t, f) text(1), iv(2), iv(3), iv(4), iv(5)
    case ('AIIIIIIIII')
      write(t, f) text(1), iv(2), iv(3), iv(4), iv(5), iv(6), iv(7), iv(8), iv(9), iv(10)
    case ('AIRR')
      write(t, f) text(1), iv(2), rv(3), rv(4)
    case ('AR')
      write(t, f) text(1), rv(2)
    case ('ARAI')
      write(t, f) text(1), rv(2), text(3), iv(4)
    case ('ARAR')
      write(t, f) text(1), rv(2), text(3), rv(4)
    case ('ARRRR')
      write(t, f) text(1), rv(2), rv(3), rv(4), rv(5)
    case ('IA')
      write(t, f) iv(1), text(2)
    case ('IAR')
      write(t, f) iv(1), text(2), rv(3)
    case ('IIR')
      write(t, f) iv(1), iv(2), rv(3)
    case ('IIRIR')
      write(t, f) iv(1), iv(2), rv(3), iv(4), rv(5)
    case ('IIRIRIR')
      write(t, f) iv(1), iv(2), rv(3), iv(4), rv(5), iv(6), rv(7)
    case ('IIRIRIRIR')
      write(t, f) iv(1), iv(2), rv(3), iv(4), rv(5), iv(6), rv(7), iv(8), rv(9)
    case ('IIRIRIRIRIR')
      write(t, f) iv(1), iv(2), rv(3), iv(4), rv(5), iv(6), rv(7), iv(8), rv(9), iv(10), rv(11)
    case ('IIRIRIRIRIRIR')
      write(t, f) iv(1), iv(2), rv(3), iv(4), rv(5), iv(6), rv(7), iv(8), rv(9), iv(10), rv(11), iv(12), rv(13)
    case ('IR')
      write(t, f) iv(1), rv(2)
    case ('IRAA')
      write(t, f) iv(1), rv(2), text(3), text(4)
    case ('IRARA')
      write(t, f) iv(1), rv(2), text(3), rv(4), text(5)
    case ('IRII')
      write(t, f) iv(1), rv(2), iv(3), iv(4)
    case ('IRIIA')
      write(t, f) iv(1), rv(2), iv(3), iv(4), text(5)
    case ('IRIR')
      write(t, f) iv(1), rv(2), iv(3), rv(4)
    case ('IRR')
      write(t, f) iv(1), rv(2), rv(3)
    case ('IRRI')
      write(t, f) iv(1), rv(2), rv(3), iv(4)
    case ('IRRIRR')
      write(t, f) iv(1), rv(2), rv(3), iv(4), rv(5), rv(6)
    case ('IRRR')
      write(t, f) iv(1), rv(2), rv(3), rv(4)
    case ('RA')
      write(t, f) rv(1), text(2)
    case ('RAI')
      write(t, f) rv(1), text(2), iv(3)
    case ('RI')
      write(t, f) rv(1), iv(2)
    case ('RRRRRA')
      write(t, f) rv(1), rv(2), rv(3), rv(4), rv(5), text(6)
    case default
      write(*, '(3a)') 'MISSING F ', sig(1:nv)
    end select
  end subroutine

  subroutine emit_list()
    if (nv > 0 .and. verify(sig(1:nv), 'I') == 0) then
      write(t, *) iv(1:nv)
      return
    end if
    if (nv > 0 .and. verify(sig(1:nv), 'R') == 0) then
      write(t, *) rv(1:nv)
      return
    end if
    select case (sig(1:nv))
    case ('')
      write(t, *)
    case ('A')
      write(t, *) text(1)
    case ('AAIRAAI')
      write(t, *) text(1), text(2), iv(3), rv(4), text(5), text(6), iv(7)
    case ('AI')
      write(t, *) text(1), iv(2)
    case ('IA')
      write(t, *) iv(1), text(2)
    case ('IIA')
      write(t, *) iv(1), iv(2), text(3)
    case ('RAIA')
      write(t, *) rv(1), text(2), iv(3), text(4)
    case default
      write(*, '(3a)') 'MISSING L ', sig(1:nv)
    end select
  end subroutine
  ! One list-directed READ of items of the given kinds from the given
  ! records (at most four). Items start as -999, -999.0 and '?' so that the
  ! golden file shows which ones the read left unchanged. Layout:
  !   READ <group.name>
  !   IN |<record>|          the records of the file
  !   KINDS <kinds>          e.g. IIR: integer, integer, real
  !   STATUS <iostat>
  !   GOT ...                the items after the read, as I/R/A lines
  !   NEXT |<record>| or NEXT EOF   the record a following read gets
  !   END
  subroutine readcase(id, kinds, l1, l2, l3, l4)
    use, intrinsic :: iso_fortran_env, only: iostat_end
    character(*), intent(in) :: id, kinds
    character(*), intent(in), optional :: l1, l2, l3, l4
    integer :: ivr(6), ios, ios2, k
    real(dp) :: rvr(6)
    character(len=20) :: cvr(6)
    character(len=200) :: buf
    write(g, '(2a)') 'READ ', id
    open(newunit=t, status='scratch', form='formatted', action='readwrite')
    if (present(l1)) call inline(l1)
    if (present(l2)) call inline(l2)
    if (present(l3)) call inline(l3)
    if (present(l4)) call inline(l4)
    rewind(t)
    write(g, '(2a)') 'KINDS ', kinds
    ivr = -999
    rvr = -999d0
    cvr = '?'
    select case (kinds)
    case ('I')
      read(t, *, iostat=ios) ivr(1)
    case ('II')
      read(t, *, iostat=ios) ivr(1:2)
    case ('IIII')
      read(t, *, iostat=ios) ivr(1:4)
    case ('R')
      read(t, *, iostat=ios) rvr(1)
    case ('RRRRR')
      read(t, *, iostat=ios) rvr(1:5)
    case ('IR')
      read(t, *, iostat=ios) ivr(1), rvr(2)
    case ('IRIR')
      read(t, *, iostat=ios) ivr(1), rvr(2), ivr(3), rvr(4)
    case ('A')
      read(t, *, iostat=ios) cvr(1)
    case ('IA')
      read(t, *, iostat=ios) ivr(1), cvr(2)
    case ('AI')
      read(t, *, iostat=ios) cvr(1), ivr(2)
    case default
      error stop 'read kinds without a READ statement'
    end select
    if (ios < 0) ios = -1
    write(g, '(a,i0)') 'STATUS ', ios
    if (ios == 0) then
      do k = 1, len(kinds)
        select case (kinds(k:k))
        case ('I')
          write(g, '(a,i0)') 'I ', ivr(k)
        case ('R')
          write(g, '(a,z16.16,1x,es25.17)') 'R ', transfer(rvr(k), 0_8), rvr(k)
        case ('A')
          write(g, '(3a)') 'A |', trim(cvr(k)), '|'
        end select
      end do
      read(t, '(a)', iostat=ios2) buf
      if (ios2 == iostat_end) then
        write(g, '(a)') 'NEXT EOF'
      else
        write(g, '(3a)') 'NEXT |', trim(buf), '|'
      end if
    end if
    close(t)
    write(g, '(a)') 'END'
  end subroutine

  subroutine inline(l)
    character(*), intent(in) :: l
    write(t, '(a)') l
    write(g, '(3a)') 'IN |', l, '|'
  end subroutine
end module golden_io

program make_golden
  use golden_io
  use, intrinsic :: ieee_arithmetic
  implicit none
  real(dp) :: pinf, ninf, qnan
  pinf = ieee_value(pinf, ieee_positive_inf)
  ninf = -pinf
  qnan = ieee_value(qnan, ieee_quiet_nan)
  call open_golden('golden.txt')
  ! ---- radial mesh file and plot file -----------------------------------
  call fcase('mesh.node', '(I6,2(3x,1PE15.7),3x,i5)', 1, 0d0, 0d0, 1)
  call fcase('mesh.node', '(I6,2(3x,1PE15.7),3x,i5)', 12, 6.25d-2, 1.5d0, 1)
  call fcase('mesh.node', '(I6,2(3x,1PE15.7),3x,i5)', 2501, 1234.5678901d0, 39.999999999d0, 2)
  call fcase('mesh.node', '(I6,2(3x,1PE15.7),3x,i5)', 999999, 1.0d6, 0.1d0, 2)
  call fcase('mesh.element', '(5I6)', 1, 1, 2, 27, 26)
  call fcase('mesh.element', '(5I6)', 2450, 2474, 2475, 2500, 2499)
  call fcase('mesh.edge', '(6I6)', 1, 1, 2)
  call fcase('mesh.edge', '(6I6)', 49, 2500, 2499)
  call fcase('mesh.window', '(4f12.5)', 0d0, 0d0, 1500d0, 40d0)
  call fcase('mesh.window', '(4f12.5)', 0.1d0, -1d-6, 123456.789d0, 1d7)
  call fcase('mesh.observation', '(a,i5,15x,2f15.4)', '11', 25, 12.5d0, 39.5d0)
  call fcase('mesh.observation', '(a,i5,15x,2f15.4)', '11', 1, 0.30000000000000004d0, 0d0)
  call fcase('mesh.line', '(10x,1x,i1,i5)', 1, 2)
  call fcase('mesh.line', '(10x,1x,i1,i5)', 0, 2)
  call fcase('mesh.line', '(2f15.4)', 0d0, 40d0)
  call fcase('mesh.line', '(2f15.4)', 1500d0, 0.12345d0)
  ! ---- observation file and model-control file ---------------------------
  call fcase('prep.rate', '(1x,a,1pe10.3,a,i5)', 'Pumping rate = ', 2.5d-3, ' ...:', 20)
  call fcase('prep.rate', '(1x,a,1pe10.3,a,i5)', 'Pumping rate = ', -1.23456d-5, ' ...:', 1)
  call fcase('prep.data', '(I6,F15.3,1P,E18.6)', 10, 60d0, 1.23456d-2)
  call fcase('prep.data', '(I6,F15.3,1P,E18.6)', 1276, 86400.0005d0, 0d0)
  call fcase('prep.data', '(I6,F15.3,1P,E18.6)', 10, 1d11, -3.5d0)
  call fcase('prep.time0', '(i6,f10.3,1pe18.6)', 10, 0d0, 0d0)
  call fcase('prep.time0', '(i6,f15.3,1pe18.6)', 10, 0d0, 1.5d-7)
  call fcase('prep.family', '(4x,a,i5)', 'L', 2)
  call fcase('prep.counts', '(12i6)', 2500, 2376, 4, 50, 0, 198, 0, 0, 3, 27, 0, 100)
  call fcase('prep.counts', '(7i6)', 21, 1)
  call fcase('prep.steps', '(1x, i5, a)', 40, '  # Timesteps')
  call fcase('prep.timepar', '(1x,5g12.5, a)', 3372.0987654321d0, 0.5d0, 21600d0, 0d0, 86400d0, ' Time parameters')
  call fcase('prep.timepar', '(1x,5g12.5, a)', 2.25d6, 0.5d0, 2.5d5, 0d0, 1d6, ' Time parameters')
  call fcase('prep.timepar', '(1x,5g12.5, a)', 0.0123456d0, 0.5d0, 0.001d0, 0d0, 0.004d0, ' Time parameters')
  call fcase('prep.head', '(i3,d12.5,i6,i5,a)', 1, 40d0, 2500, 1, ' Initial Waterlevel')
  call fcase('prep.head', '(i3,d12.5,i6,i5,a)', 1, 0.123456d0, 12, 1, ' Initial Waterlevel')
  call fcase('prep.pumping', '(f18.3,1pe18.6)', 0d0, -2.5d-3)
  call fcase('prep.pumping', '(f18.3,1pe18.6)', 87400d0, -1.25d-3)
  call fcase('prep.pumping', '(f18.3,1pe18.6)', 3600.0625d0, -0d0)
  ! ---- model input messages ------------------------------------------------
  call fcase('model.family', '(4X, A1, I5)', 'L', 2)
  call fcase('model.bandwidth', '(a,i4,a,i4)', '  Estimated bandwidth = ', 22, ' < true bandwidth = ', 23)
  call fcase('model.bandwidth', '(a,i4,a,i4)', '  Estimated bandwidth = ', 9, ' < true bandwidth = ', 12345)
  call fcase('model.nodal', "(14X,'The number of storativity values supplied',' NVS = ',I4,/,14X,'Does not match the number of nodes',16X,'NN = ',I4)", 19, 20)
  call fcase('model.nodal', "(14X,'The number of piezometer level values supplied',' NVS = ',I4,/,14X,'Does not match the number of nodes',16X,'NN = ',I4)", 19, 2500)
  call fcase('model.dirichlet', "('1',/,3X,'The number of Dirichlet nodes wanted and ','number of nodes read, do not match',/,/,26X,'NDN = ',I4,10X,'NNR = ',I4)", 50, 49)
  call fcase('model.dirichlet', "(8X,'Not all the Dirichlet nodes are associated with ','a boundary element',/,29X,'Check them and try again',/,8X,'There are ',I4,'nodes counted, but ',I4,'prescribed')", 48, 50)
  ! ---- simulation file, store table, dry node ------------------------------
  call fcase('step.nodes', '(5X,A,9I6)', 'Node: ', 1276)
  call fcase('step.nodes', '(5X,A,9I6)', 'Node: ', 1276, 1277, 1301, 2500)
  call fcase('step.nodes', '(5X,A,9I6)', 'Node: ', 1, 2, 3, 4, 5, 6, 7, 8, 9)
  call fcase('step.sim', '(5X,I6,F15.4,1P,E18.10)', 1276, 0d0, 0d0)
  call fcase('step.sim', '(5X,I6,F15.4,1P,E18.10)', 1276, 1.0166666666666666d0, 1.2345678901234d-2)
  call fcase('step.sim', '(5X,I6,F15.4,1P,E18.10)', 1276, 14400d0, -2.5d-12)
  call fcase('step.store', "(5X,'Time............',1P,D16.9,A4,/,5X,'Time step.......',I8)", 16.65d0, ' (h)', 999)
  call fcase('step.store', '(I8,1P,D26.15,0P,F8.2)', 1, 40d0, 0d0)
  call fcase('step.store', '(I8,1P,D26.15,0P,F8.2)', 2, 39.876543210987654d0, -0.12345678d0)
  call fcase('step.store', '(I8,1P,D26.15,0P,F8.2)', 3, -0d0, -0.004d0)
  call fcase('step.plot', "(5X,'The piezometric heads and Darcy velocities for',' the last time step',/,5X,66('-'),/)")
  call fcase('step.plot', '(1P,E14.6)', 39.87654321d0)
  call fcase('step.plot', '(1P,E14.6)', -1.2345678d-3)
  call fcase('step.dirichlet', '(I10,1P,D26.15,2I5)', 27, 40d0, 0, 0)
  call fcase('step.neumann', '(4I15)', 17, 3, 4)
  call fcase('step.neumann', '(15X,3(1P,D15.5))', 1.5d-6, -2.25d-7)
  call fcase('step.neumann', '(15X,3(1P,D15.5))', 1d0, 2d0, 3d0)
  call fcase('step.dry', "('Dry node ',I6,' Time ',1P,D11.2,' Corr ',1P,D11.2)", 5, 2d0, 3.9875d0)
  call fcase('step.dry', "('Bore hole at node',I6,'runs dry; Shut test down after',1P,D11.2,'hours.')", 5, 2d0)
  call fcase('step.dry', "('Bore hole at node',I6,'runs dry; Shut test down after',1P,D11.2,'hours.')", 1276, 0.016666666666666666d0)
  ! ---- result file and progress lines ----------------------------------------
  call fcase('inverse.result', '(a)', 'WELLFIT')
  call fcase('inverse.result', '(3x,i3,a,g12.5)', 5, ' Iterations : Root Mean Square Error = ', 1.23456789d-3)
  call fcase('inverse.result', '(3x,i3,a,g12.5)', 12, ' Iterations : Root Mean Square Error = ', 0.5d0)
  call fcase('inverse.result', '(3x,i3,a,g12.5)', 0, ' Iterations : Root Mean Square Error = ', 0d0)
  call fcase('inverse.result', '(1x,a,1pe16.8)', '  Multiplier 1: ', 1.5d0)
  call fcase('inverse.result', '(1x,a,1pe16.8)', '  K for Matrix    = ', 1.2345678912d-9)
  call fcase('inverse.result', '(/a)', '  Solution for the Parameters:    ')
  call fcase('inverse.result', '(3x,a,3(2x,a))', 'Node Observed:', 'Time', 'Observed Value', 'Simmulated Value')
  call fcase('inverse.result', '(i6, F15.4,1pe18.10,1pe18.10)', 1276, 1.5d0, 0.0123d0, 0.012345678901d0)
  call fcase('inverse.progress', '(a,4(g12.4))', 'Multipliers: ', 1d0, 0.5d0, 12345.6d0, 1d-5)
  call fcase('inverse.progress', '(a,i3,a,g12.5)', 'Iteration ', 3, ': Error Estimate (RMSE) = ', 4.5678912d-4)
  call fcase('inverse.progress', '(a,4(1pe12.4))', 'Kf/m ,S0f/m:', 1.2d-4, 3.4d-9, 5.6d-6, 7.8d-7)
  call fcase('inverse.progress', '(2(a,1(1pe12.4)))', 'Tf+Tm:', 1.23456d-3, '  Sf+Sm:', 9.87654d-5)
  call fcase('inverse.progress', '(a, f10.4)', '  Drawdown after Simulation Time:', 1.23456d0)
  call fcase('inverse.progress', '(a, f10.4)', '  Drawdown after Simulation Time:', -0.00001d0)
  call fcase('inverse.final', '(a,4(g16.8))', '  Multipliers: ', 1.2345678912d0, 0.1d0, 123456789d0, 0d0)
  call fcase('inverse.final', '(a,1pe16.8)', '  T for Fracture   = ', 6.789d-5)
  ! ---- solution listing ------------------------------------------------------
  call fcase('listing.title', "(9X,'SOLUTION OF THE GROUND WATER FLOW ','EQUATION : A CONFINED MODEL',/,/,/)")
  call fcase('listing.title', "(25X,'The problem is ',A16,/,/,9X,'The piecewise ','polynomial used in the simulation consisted of a ',/,24X,I1,A4,'degree ',A8,' polynomial',/,/,/,/)", 'Time Dependent  ', 1, ' st ', 'Lagrange')
  call fcase('listing.title', '(1x,a72)', 'TEST.wft')
  call fcase('listing.table1', "(3X,'Output Table 1   Time parameters',/,3X,11('_'),/,/,3X,'Time step ................................',1X,I4,/,3X,'Time increment ...........................',1X,1P,D16.9,A4,/,3X,'Time .....................................',1X,1P,D16.9,A4,/,/,/)", 999, 0.016666666666666666d0, ' (h)', 16.65d0, ' (h)')
  call fcase('listing.table1', "(3X,'Output Table 1   Time parameters',/,3X,11('_'),/,/,3X,'Time increment used ..........',1X,1P,D16.9,A4,/,/,/)", 86400d0, ' (s)')
  call fcase('listing.table2', "(3X,'Output Table 2   Flow and Mass balance parameters',/,3X,11('_'),/)")
  call fcase('listing.table2', "(3X,'Prescribed flow from external sources/sinks ...',1X,1P,D16.9,' (m**3/m)')", -0.15d0)
  call fcase('listing.table2', "(3X,'Computed flow across Dirichlet boundaries .....',1X,1P,D16.9,' (m**3/m)')", 0d0)
  call fcase('listing.table2', "(3X,'Prescribed flow across Neumann boundaries .....',1X,1P,D16.9,' (m**3/m)',/,3X,'Computed flow across Neumann boundaries .......',1X,1P,D16.9,' (m**3/m)')", 1.25d-3, 0d0)
  call fcase('listing.table2', "(3X,'Computed flow across zero flux boundaries .....',1X,1P,D16.9,' (m**3/m)',/,3X,'Total influx into the aquifer .................',1X,1P,D16.9,' (m**3/m)',/,3X,'Change in water volume due to rising head .....',1X,1P,D16.9,' (m**3/m)',/,3X,'Error in mass balance .........................',1X,1P,D16.9,' (m**3/m)',/)", 0d0, -0.14875d0, 0d0, 0d0)
  call fcase('listing.table2', "(3X,'Computed flow across Dirichlet boundary 1 .....',1X,1P,D16.9,' (m**3/m)',/,3X,'Computed flow across Dirichlet boundary 2 .....',1X,1P,D16.9,' (m**3/m)',/,3X,'Computed flow across Dirichlet boundary 3 .....',1X,1P,D16.9,' (m**3/m)',/,3X,'Computed flow across Dirichlet boundary 4 .....',1X,1P,D16.9,' (m**3/m)',/,3X,'Computed flow across Dirichlet boundary 5 .....',1X,1P,D16.9,' (m**3/m)',/,3X,'Netto    flow across Dirichlet boundaries .....',1X,1P,D16.9,' (m**3/m)')", 0d0, 0d0, 0d0, 0d0, 0d0, 0d0)
  call fcase('listing.table3', "(3X,'Output Table 3   Present  Ground-Water Level',/,3X,11('_'),/,/,1X,2('Node',5X,'Water level',4X,'Difference',2X),/,1X,2(1X,'No',9X,'(m)',9X,'New - Old',3X),/)")
  call fcase('listing.table3', '(1X,2(I4,2X,1P,D16.9,5X,0P,F5.1,4X))', 1, 39.5d0, -0.5d0, 2, 40d0, 0d0)
  call fcase('listing.table3', '(1X,2(I4,2X,1P,D16.9,5X,0P,F5.1,4X))', 101, 38.25d0, -1.75d0)
  call fcase('listing.table3', '(1X,2(I4,2X,1P,D16.9,5X,0P,F5.1,4X))', 9999, -1d-100, -123.45d0, 10000, 1d100, 0.05d0)
  call fcase('listing.table5', "(19X,'TIME-DEPENDENT DIRICHLET BOUNDARY CONDITIONS',/,/)")
  call fcase('listing.table5', "(3X,'Output Table 5   Prescribed ',A16,' Dirichlet',' Heads',/,3X,11('_'),/,/,13X,'Node',7X,'Head (m)',14X,'Node',7X,'Head (m)',/)", 'Time Dependent  ')
  call fcase('listing.table5', '(3X,2(10X,I4,3X,1P,D16.9))', 27, 40d0, 54, 39.999d0)
  call fcase('listing.table5', '(3X,2(10X,I4,3X,1P,D16.9))', 2500, 40d0)
  call fcase('listing.table6', "(20X,'TIME-DEPENDENT NEUMANN BOUNDARY CONDITIONS',/,/)")
  call fcase('listing.table6', "(3X,'Output Table 6   Prescribed ',A16,' Neumann ','Fluxes',/,3X,11('_'),/,/,10X,'Element',6X,'Node',9X,'Flux',9X,'Node',9X,'Flux',/,12X,'No',10X,'No',10X,'(m/s)',9X,'No',10X,'(m/s)',/)", 'Time Independent')
  call fcase('listing.table6', '(11X,I4,5X,2(3X,I4,3X,1P,D16.9),:,/,(23X,2(3X,I4,3X,1P,D16.9),:,/))', 7, 3, 1.5d-6)
  call fcase('listing.table6', '(11X,I4,5X,2(3X,I4,3X,1P,D16.9),:,/,(23X,2(3X,I4,3X,1P,D16.9),:,/))', 7, 3, 1.5d-6, 4, -2.5d-6)
  call fcase('listing.table6', '(11X,I4,5X,2(3X,I4,3X,1P,D16.9),:,/,(23X,2(3X,I4,3X,1P,D16.9),:,/))', 7, 3, 1.5d-6, 4, -2.5d-6, 5, 3.5d-6)
  call fcase('listing.table6', '(11X,I4,5X,2(3X,I4,3X,1P,D16.9),:,/,(23X,2(3X,I4,3X,1P,D16.9),:,/))', 7, 3, 1d0, 4, 2d0, 5, 3d0, 6, 4d0)
  call fcase('listing.table6', '(11X,I4,5X,2(3X,I4,3X,1P,D16.9),:,/,(23X,2(3X,I4,3X,1P,D16.9),:,/))', 7, 3, 1d0, 4, 2d0, 5, 3d0, 6, 4d0, 8, 5d0)
  call fcase('listing.table6', '(11X,I4,5X,2(3X,I4,3X,1P,D16.9),:,/,(23X,2(3X,I4,3X,1P,D16.9),:,/))', 7, 3, 1d0, 4, 2d0, 5, 3d0, 6, 4d0, 8, 5d0, 9, 6d0)
  ! ---- rounding: once, from the exact binary value, ties to even ---------------
  call rcases('edge.round', '(f5.0)', [2.5d0, 3.5d0, -2.5d0, 0.5d0, 1.5d0, 0.49999999999999994d0])
  call rcases('edge.round', '(f6.2)', [0.125d0, 0.375d0, 2.675d0, 1.005d0, 1.015d0, -0.125d0])
  call rcases('edge.round', '(e12.2)', [0.125d0, 0.375d0, 1250d0, 0.0625d0])
  call rcases('edge.round', '(1pe12.3)', [1.0625d0, 1.0635d0, 9.9995d0, 9.99949d0])
  call rcases('edge.round', '(1pd16.9)', [1.0000000005d0, 0.30000000000000004d0, 2d0/3d0])
  call rcases('edge.round', '(g12.4)', [0.12345d0, 1.0005d0, 1.00050001d0, 2.5d-5])
  ! ---- negative zero and negative values that round to zero ---------------------
  call rcases('edge.negzero', '(f8.3)', [-0d0, -1d-4, -4.9999d-4, -5.0001d-4])
  call rcases('edge.negzero', '(e12.3)', [-0d0, 0d0])
  call rcases('edge.negzero', '(1pe12.4)', [-0d0, 0d0])
  call rcases('edge.negzero', '(g12.5)', [-0d0])
  call rcases('edge.negzero', '(1pd16.9)', [-0d0])
  call rcases('edge.negzero', '(f5.0)', [-0.3d0, -0.5d0])
  call rcases('edge.negzero', '(f10.4)', [-0.00004d0, -0.00005d0])
  call rcases('edge.negzero', '(f5.1)', [-0.04d0])
  call rcases('edge.negzero', '(f4.1)', [-0.04d0])
  call rcases('edge.negzero', '(f3.1)', [-0.04d0])
  ! ---- leading zero kept when it fits, fields that overflow ------------------------
  call rcases('edge.width', '(f3.1)', [0.5d0, 9.96d0])
  call rcases('edge.width', '(f2.1)', [0.5d0])
  call rcases('edge.width', '(f1.0)', [0.3d0])
  call rcases('edge.width', '(f2.0)', [0.3d0])
  call rcases('edge.width', '(f4.2)', [-0.5d0, 0.5d0])
  call rcases('edge.width', '(f5.2)', [123.456d0, 99.994d0, 99.995d0, -9.99d0])
  call rcases('edge.width', '(f12.5)', [1d30, -1d-20, 1d-20])
  call rcases('edge.width', '(e9.3)', [0.5d0, -0.5d0, -1.5d0])
  call rcases('edge.width', '(e8.3)', [0.5d0, -1.5d0])
  call rcases('edge.width', '(1pe9.2)', [-1.5d0, 1.5d0, 1.5d100])
  call rcases('edge.width', '(g6.3)', [-999d0, 999d0, 0.5d0])
  call icases('edge.width', '(i3)', [1234, -100, -99, 0])
  call icases('edge.width', '(i6)', [-12345, 2147483647])
  call icases('edge.width', '(i1)', [0, 7, 10])
  call icases('edge.width', '(i5.3)', [7, -7, 12345, 123456])
  call icases('edge.width', '(i3.0)', [0, 5])
  ! ---- three-digit exponents ---------------------------------------------------------
  call rcases('edge.exponent', '(e15.7)', [1d100, 1d-100, 9.99999999d99, 1d99, 1d-99, -1d-100])
  call rcases('edge.exponent', '(d16.9)', [1d100, 1d-100, 1.2345d-200])
  call rcases('edge.exponent', '(1pd16.9)', [1d100, 1d-100, 1d-99, 1d99, 1d-98])
  call rcases('edge.exponent', '(1pe18.10)', [1d100, 1d-100, 1d300, 1d-300, 4.9406564584124654d-324, &
       1.7976931348623157d308, 2.2250738585072014d-308])
  call rcases('edge.exponent', '(1pe15.7)', [1d-310, 1d10, 1d-10])
  call rcases('edge.exponent', '(e12.4e3)', [1.5d0, 1d100, -1d-5])
  call rcases('edge.exponent', '(1pe14.5e3)', [1.5d0, 1d-300])
  call rcases('edge.exponent', '(e12.4e1)', [1.5d0, 1d10])
  ! ---- G: fixed form for 0.1 <= |x| < 10**d after rounding, else exponent form ---------
  call rcases('edge.general', '(g12.5)', [0.1d0, 0.099999d0, 0.0999995d0, 0.09999949d0, 0.09999951d0, &
       1d5, 99999.49d0, 99999.5d0, 12345.6d0, 1d0, 0.5d0, 1d-5, -0.1d0, -12345.6d0, 1d-300, 1d300, 0d0])
  call rcases('edge.general', '(g12.4)', [9999.5d0, 9999.4d0, 0d0, 1234.5d0, 0.12344d0, 123.456d0])
  call rcases('edge.general', '(g16.8)', [12345678.9d0, 1d8, 99999999.5d0, 0d0, -1.5d0, 3d-2])
  call rcases('edge.general', '(1pg12.5)', [1d-3, 1d6, 1.5d0, 0d0, -2.5d-7, 0.5d0])
  call rcases('edge.general', '(g14.5e3)', [1.5d0, 1d-3, 1d200])
  call rcases('edge.general', '(g10.1)', [0.5d0, 5d0, 9.5d0, 10d0, 0.05d0])
  call rcases('edge.general', '(g8.2)', [99.4d0, 99.5d0, 0.095d0, 0.0951d0])
  ! ---- scale factor --------------------------------------------------------------------
  call rcases('edge.scale', '(1p,f8.3)', [1.5d0, -0.0001d0, 99.9999d0])
  call rcases('edge.scale', '(2p,f8.3)', [1.5d0])
  call rcases('edge.scale', '(-1p,f8.3)', [1.5d0, 0.0025d0])
  call rcases('edge.scale', '(-1p,e12.4)', [1.5d0, -0.0025d0])
  call rcases('edge.scale', '(2p,e12.4)', [1.5d0, 0d0])
  call rcases('edge.scale', '(3p,d14.4)', [1.5d0, 12345.678d0])
  call fcase('edge.scale', '(1PE12.4,E12.4,0P,E12.4,G12.4,1P,G12.4)', 1.5d0, 2.5d0, 3.5d0, 4.5d0, 5.5d-5)
  call fcase('edge.scale', '(1P,E12.4,/,E12.4,F8.3)', 1.5d0, 2.5d0, 3.5d0)
  call fcase('edge.scale', '(E12.4,1P)', 1.5d0, 2.5d0, 3.5d0)
  call fcase('edge.scale', '(2(E12.4,1P))', 1.5d0, 2.5d0, 3.5d0)
  ! ---- format reversion, ':' and values running out -------------------------------------
  call fcase('edge.reversion', '(5i3)', 1, 2, 3, 4, 5, 6, 7)
  call fcase('edge.reversion', '(5i3)', 1, 2, 3, 4, 5)
  call fcase('edge.reversion', '(i3,5x)', 1, 2)
  call fcase('edge.reversion', "(i3,2(i3,:,'-'),/)", 1, 2, 3, 4, 5, 6)
  call fcase('edge.reversion', '(i1,2(i2),i3)', 1, 2, 3, 4, 5, 6, 7, 8)
  call fcase('edge.reversion', "(a,(i3))", 'x', 1, 2, 3)
  call fcase('edge.reversion', "(2(i2,'a'),3(i2,'b'),i3)", 1, 2, 3, 4, 5, 6, 7, 8, 9, 10)
  call fcase('edge.reversion', "('x',2(2(i2),'y'),'z')", 1, 2, 3, 4, 5)
  call fcase('edge.stop', "(i3,:,' tail')", 1)
  call fcase('edge.stop', "(i3,' tail')", 1)
  call fcase('edge.stop', "(i3,' a',i3,' b')", 1)
  call fcase('edge.stop', "(2(i3,:,','))", 1)
  call fcase('edge.stop', "(2(i3,:,','))", 1, 2)
  call fcase('edge.stop', '(a,i5,5x)', 'n', 3)
  call fcase('edge.stop', "(i5,5x,'x')", 3)
  call fcase('edge.stop', '(3x,a)')
  call fcase('edge.stop', "('abc',3x)")
  call fcase('edge.stop', '(a)')
  call fcase('edge.stop', '(3x)')
  call fcase('edge.stop', '(i3,/)', 1)
  call fcase('edge.stop', '(i5,5x,/,"a")', 1)
  call fcase('edge.stop', "(i3,/,/,'end',3x,/)", 1)
  call fcase('edge.stop', "(/,i3,'x',3x,i3)", 1)
  ! ---- texts, quotes, letter case and blanks inside the format ------------------------------
  call fcase('edge.text', "('it''s',a)", ' ok')
  call fcase('edge.text', '("say ""hi""",a)', '!')
  call fcase('edge.text', "(66('-'))")
  call fcase('edge.text', "(3x,11('_'),'|')")
  call fcase('edge.text', "(2('ab',i2))", 1, 2)
  call fcase('edge.text', '(a3,"|",a5,"|",a,"|",a1,"|")', 'abcdef', 'ab', '', 'xyz')
  call fcase('edge.text', '(a,"|")', 'trailing   ')
  call fcase('edge.text', '( 1 p e 1 5 . 7 , 2 x , i 3 )', 1.5d0, 42)
  call fcase('edge.text', '(1pe15.7,2X,I3)', 1.5d0, 42)
  call fcase('edge.text', '(G12.5,g12.5,A,G8.3)', 5, 2.5d0, '|', 'abc')
  call fcase('edge.text', '(3/,i2,2/)', 7)
  call fcase('edge.text', '(1x,a,10x)', 'no trailing blanks')
  ! ---- infinity and NaN ------------------------------------------------------------------
  call rcases('edge.ieee', '(f8.3)', [pinf, ninf, qnan])
  call rcases('edge.ieee', '(e12.4)', [ninf, pinf])
  call rcases('edge.ieee', '(g12.5)', [pinf])
  call rcases('edge.ieee', '(f3.1)', [pinf])
  call rcases('edge.ieee', '(f4.1)', [ninf])
  ! ---- list-directed records --------------------------------------------------------------
  call lcase('list.mesh', 'TEST.wft')
  call lcase('list.mesh', 27, 25, 675, 624, 148)
  call lcase('list.mesh', 'XXXXXX')
  call lcase('list.mesh', 'Position of Observation holes:', 1276)
  call lcase('list.mesh', 1, 52, 0, 0)
  call lcase('list.prep', 1, 40)
  call lcase('list.prep', 1276, 1277, ' Observation Nodes')
  call lcase('list.prep', 1, '  Time dependant')
  call lcase('list.prep', 27, '  Number of Dirichlet nodes')
  call lcase('list.prep', 1, 0, 2147483647, -2147483647-1, -5)
  call lcase('list.real', 1d0, 0.1d0, 0.09999d0, 1d15, 1d16)
  call lcase('list.real', 1d17, 123456789012345678d0, -3.5d0, 0d0, -0d0)
  call lcase('list.real', 1d-300, 1d300, 2d0/3d0, -1d-5, 86400d0)
  call lcase('list.real', 9.9999999999999999d16, 0.099999999999999999d0, 5d-324)
  call lcase('list.real', pinf, ninf, qnan)
  call lcase('list.mixed', 'abc', 'def', 2, 1.5d0, 'g', 'h', 3)
  call lcase('list.mixed', 1.5d0, 'x', 1, 'y')
  call lcase('list.mixed')
  ! ---- list-directed reads ------------------------------------------------------------------
  call readcase('read.basic', 'II', '  27  25  675', 'next')
  call readcase('read.basic', 'II', '27,25', 'next')
  call readcase('read.basic', 'II', ' 27 ,  25 ,', 'next')
  call readcase('read.basic', 'IIII', '1 2', '3', '4 5 6', 'next')
  call readcase('read.basic', 'IIII', '1 2', '', '3 4')
  call readcase('read.basic', 'II', '1'//achar(9)//'2'//achar(9), 'next')
  call readcase('read.basic', 'II', '1 2'//achar(13), 'next'//achar(13))
  call readcase('read.basic', 'IR', '5 0.40000D+02', 'next')
  call readcase('read.basic', 'RRRRR', '60 1.5 -2.5e3 .5 4.', 'next')
  call readcase('read.basic', 'RRRRR', '1.0d-3 +7 -0.0 1E+2 2.5D0', 'next')
  call readcase('read.basic', 'R', '1.0+5', 'next')
  call readcase('read.basic', 'IRIR', '1 10.0 7 3', 'next')
  call readcase('read.null', 'IIII', '1,,3,4', 'next')
  call readcase('read.null', 'IIII', ',2,,', 'next')
  call readcase('read.null', 'IIII', '1 2', ',3 4', 'next')
  call readcase('read.slash', 'IIII', '1 2 / 3 4', 'next')
  call readcase('read.slash', 'IIII', '1 2/', 'next')
  call readcase('read.slash', 'IIII', '/', '1 2 3 4')
  call readcase('read.repeat', 'IIII', '3*7 8', 'next')
  call readcase('read.repeat', 'IIII', '2* 5 6', 'next')
  call readcase('read.repeat', 'RRRRR', '5*1.5', 'next')
  call readcase('read.text', 'A', 'XXXXXX', 'next')
  call readcase('read.text', 'A', "'two words' rest", 'next')
  call readcase('read.text', 'A', '"it''s"', 'next')
  call readcase('read.text', 'A', "'don''t'", 'next')
  call readcase('read.text', 'IA', '12 Observation Nodes', 'next')
  call readcase('read.text', 'AI', 'Node: 1276', 'next')
  call readcase('read.text', 'A', 'a,b', 'next')
  call readcase('read.bad', 'I', '1.5')
  call readcase('read.bad', 'I', 'abc')
  call readcase('read.bad', 'II', '1 x')
  call readcase('read.bad', 'I', '1e3')
  call readcase('read.bad', 'I', "'7'")
  call readcase('read.bad', 'R', 'abc')
  call readcase('read.bad', 'R', '1.5x')
  call readcase('read.bad', 'R', '1.2.3')
  call readcase('read.bad', 'R', '-')
  call readcase('read.bad', 'I', '99999999999')
  call readcase('read.eof', 'I')
  call readcase('read.eof', 'II', '1')
  call readcase('read.eof', 'IIII', '1 2', '3')
  call readcase('read.eof', 'I', '')
  call readcase('read.eof', 'I', '   ', '  ')
  close(g)
end program make_golden
