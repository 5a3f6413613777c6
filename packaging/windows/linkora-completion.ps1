# PowerShell completion for linkora: its commands, each command's options, and the values of the
# options that take a fixed set (formats, DHCP, adapters). Load it from your profile, e.g.
#   . "$env:ProgramFiles\Brannic Linkora CFG\linkora-completion.ps1"
# (notepad $PROFILE opens the profile); files are completed by PowerShell itself.

Register-ArgumentCompleter -Native -CommandName linkora, linkora.exe -ScriptBlock {
    param($wordToComplete, $commandAst, $cursorPosition)

    $options = @{
        ''       = @('-h', '--help', '--version', '-i', '--interface', '--library')
        scan     = @('-h', '--help', '--quiet-ms', '--min-wait-ms', '--max-wait-ms', '--rounds',
                     '--expect', '-f', '-o', '--format', '--output')
        set      = @('-h', '--help', '--ip', '--mask', '--gateway', '--dhcp', '--dns1', '--dns2',
                     '--hostname', '--new-password', '--password-stdin', '--password-file',
                     '--new-password-file', '--remove-password', '--no-verify', '--report',
                     '--find-ms', '--confirm-ms', '--verify-ms', '--log', '--no-log')
        watch    = @('-h', '--help', '-f', '-o', '--format', '--output', '--no-scan', '--every')
        adapters = @('-h', '--help', '-f', '-o', '--format', '--output')
        check    = @('-h', '--help', '--plan', '--quiet-ms', '--min-wait-ms', '--max-wait-ms',
                     '--rounds', '--expect', '-f', '-o', '--format', '--output')
        doctor   = @('-h', '--help', '--rounds', '--round-ms', '-f', '-o', '--format', '--output')
        apply    = @('-h', '--help', '--dry-run', '--report', '--log', '--no-log',
                     '--password-stdin', '--password-file', '--passwords', '--find-ms',
                     '--confirm-ms', '--verify-ms')
        plan     = @('-h', '--help', '--ip', '--ip-last', '--hostname', '--start', '--mask',
                     '--gateway', '--dns1', '--dns2', '--dhcp', '--sort', '--only-type', '-f',
                     '--format', '-o', '--output', '--from', '--quiet-ms', '--min-wait-ms',
                     '--max-wait-ms', '--rounds', '--expect')
        assign   = @('-h', '--help', '--ip', '--ip-last', '--hostname', '--start', '--mask',
                     '--gateway', '--dns1', '--dns2', '--dhcp', '--plan', '-y', '--yes', '--write',
                     '--report', '--log', '--no-log', '--every-ms', '--find-ms', '--confirm-ms',
                     '--verify-ms', '--quiet-ms', '--min-wait-ms', '--max-wait-ms', '--rounds',
                     '--expect')
    }
    $commands = @('scan', 'set', 'watch', 'adapters', 'check', 'doctor', 'apply', 'plan', 'assign')
    $formats = @{ scan = @('table', 'json', 'csv'); watch = @('text', 'json')
                  adapters = @('table', 'json'); check = @('table', 'json'); doctor = @('table', 'json'); plan = @('csv', 'json') }

    # The words before the one being completed, the program's name first.
    $words = @($commandAst.CommandElements | Where-Object { $_.Extent.EndOffset -lt $cursorPosition } |
               ForEach-Object { $_.ToString() })
    $command = ''
    for ($i = 1; $i -lt $words.Count; $i++) {
        if ($words[$i] -in '-i', '--interface', '--library') { $i++ }
        elseif ($words[$i] -in $commands) { $command = $words[$i]; break }
    }
    $previous = if ($words.Count -gt 1) { $words[-1] } else { '' }

    $offered = switch -Regex ($previous) {
        '^(-i|--interface)$' { Get-NetAdapter -ErrorAction SilentlyContinue | ForEach-Object Name; break }
        '^--(library|password-file|new-password-file|plan|report|log|passwords|from|write)$' { return }
        # plan writes its plan to the file -o names.
        '^(-o|--output)$' { if ($command -eq 'plan') { return } }
        '^(-f|-o|--format|--output)$' { $formats[$command]; break }
        '^--dhcp$' { 'on', 'off'; break }
        '^--sort$' { 'mac', 'ip', 'type', 'answer'; break }
        # A value of the user's own.
        '^--(ip|mask|gateway|dns1|dns2|hostname|quiet-ms|min-wait-ms|max-wait-ms|rounds|expect|find-ms|confirm-ms|verify-ms|every|every-ms|round-ms|ip-last|start|only-type)$' { return }
        default {
            if ($command -eq '') { $commands + $options[''] }
            elseif ($command -eq 'apply' -and $wordToComplete -notlike '-*') { return }  # the plan file
            else { $options[$command] }
        }
    }
    $offered | Where-Object { $_ -like "$wordToComplete*" } | ForEach-Object {
        [System.Management.Automation.CompletionResult]::new($_, $_, 'ParameterValue', $_)
    }
}
