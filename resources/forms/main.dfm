object Form_main: TForm_main
  Left = 0
  Top = 0
  BorderIcons = [biSystemMenu]
  BorderStyle = bsNone
  Caption = ' Vexomat'
  ClientHeight = 591
  ClientWidth = 692
  Color = clBlack
  Font.Charset = GB2312_CHARSET
  Font.Color = clWhite
  Font.Height = -12
  Font.Name = '宋体'
  Font.Style = []
  Position = poScreenCenter
  ShowHint = True
  OnClose = FormClose
  OnCreate = FormCreate
  OnShow = FormShow
  object Label_applName: TLabel
    Left = 10
    Top = 6
    Width = 120
    Height = 14
    Caption = 'Vexomat'
    Font.Charset = GB2312_CHARSET
    Font.Color = clWhite
    Font.Height = -14
    Font.Name = '宋体'
    Font.Style = [fsBold]
    ParentFont = False
    Transparent = True
  end
  object SpeedButton_closeWindow: TSpeedButton
    Left = 664
    Top = 3
    Width = 24
    Height = 20
    Hint = '关闭'
    Caption = 'X'
    Flat = True
    OnClick = SpeedButton_closeWindowClick
  end
  object SpeedButton_faqs: TSpeedButton
    Left = 6
    Top = 141
    Width = 90
    Height = 22
    Caption = '>> FAQ(&F)'
    Flat = True
    Margin = 4
    OnClick = SpeedButton_faqsClick
  end
  object SpeedButton_info: TSpeedButton
    Left = 6
    Top = 167
    Width = 90
    Height = 22
    Caption = '>> 信息(&I)'
    Flat = True
    Margin = 4
    OnClick = SpeedButton_infoClick
  end
  object SpeedButton_check: TSpeedButton
    Left = 6
    Top = 193
    Width = 90
    Height = 22
    Caption = '>> 检查(&C)'
    Flat = True
    Margin = 4
    OnClick = SpeedButton_checkClick
  end
  object SpeedButton_exit: TSpeedButton
    Left = 6
    Top = 219
    Width = 90
    Height = 22
    Caption = '>> 退出(&X)'
    Flat = True
    Margin = 4
    OnClick = SpeedButton_closeWindowClick
  end
  object Label_function: TLabel
    Left = 102
    Top = 104
    Width = 60
    Height = 12
    Caption = '转换功能:'
    Transparent = True
  end
  object ComboBoxEx_function: TComboBoxEx
    Left = 170
    Top = 99
    Width = 509
    Height = 22
    Color = clWhite
    Font.Charset = GB2312_CHARSET
    Font.Color = clBlack
    Font.Height = -12
    Font.Name = '宋体'
    Font.Style = []
    ParentFont = False
    TabOrder = 0
    OnChange = ComboBoxEx_functionChange
  end
  object Panel_source: TPanel
    Left = 102
    Top = 141
    Width = 577
    Height = 263
    BevelOuter = bvLowered
    Color = clBlack
    object Panel14: TPanel
      Left = 6
      Top = 6
      Width = 565
      Height = 251
      BevelOuter = bvNone
      Color = clBlack
      object Label_drive: TLabel
        Left = 6
        Top = 4
        Width = 36
        Height = 12
        Caption = '磁盘:'
        Transparent = True
      end
      object XcDriveCombo_source: TXcDriveCombo
        Left = 6
        Top = 20
        Width = 184
        Height = 22
        Font.Charset = GB2312_CHARSET
        Font.Color = clBlack
        Font.Height = -12
        Font.Name = '宋体'
        Font.Style = []
        ParentFont = False
        TabOrder = 1
      end
      object Label_folder: TLabel
        Left = 6
        Top = 48
        Width = 48
        Height = 12
        Caption = '文件夹:'
        Transparent = True
      end
      object XcDirectoryListBox_source: TXcDirectoryListBox
        Left = 6
        Top = 64
        Width = 184
        Height = 181
        Font.Charset = GB2312_CHARSET
        Font.Color = clBlack
        Font.Height = -12
        Font.Name = '宋体'
        Font.Style = []
        ParentFont = False
        TabOrder = 2
      end
      object Label_files: TLabel
        Left = 198
        Top = 4
        Width = 36
        Height = 12
        Caption = '文件:'
        Transparent = True
      end
      object XcFileListBox_source: TXcFileListBox
        Left = 198
        Top = 20
        Width = 361
        Height = 176
        Font.Charset = GB2312_CHARSET
        Font.Color = clBlack
        Font.Height = -12
        Font.Name = '宋体'
        Font.Style = []
        ParentFont = False
        TabOrder = 3
        OnClick = XcFileListBox_sourceClick
      end
      object CheckBox_rightFormat: TCheckBox
        Left = 198
        Top = 202
        Width = 200
        Height = 17
        Caption = '仅输入格式的文件'
        Checked = True
        Color = clBlack
        TabOrder = 4
        OnClick = CheckBox_rightFormatClick
      end
      object Label_sourceFile: TLabel
        Left = 198
        Top = 229
        Width = 48
        Height = 12
        Caption = '源文件:'
        Transparent = True
      end
      object StaticText_currentFile: TStaticText
        Left = 250
        Top = 227
        Width = 280
        Height = 17
        AutoSize = False
        Color = clBlack
        Font.Charset = GB2312_CHARSET
        Font.Color = clYellow
        Font.Height = -12
        Font.Name = '宋体'
        Font.Style = []
        ParentFont = False
      end
      object SpeedButton_destinationFile: TSpeedButton
        Left = 535
        Top = 224
        Width = 24
        Height = 21
        Hint = '选择...通过对话框选择源文件。'
        Caption = '...'
        OnClick = SpeedButton_destinationFileClick
      end
    end
  end
  object Panel_destination: TPanel
    Left = 102
    Top = 410
    Width = 296
    Height = 23
    BevelOuter = bvNone
    Color = clBlack
    object CheckBox_destinationEqualSource: TCheckBox
      Left = 4
      Top = 3
      Width = 150
      Height = 17
      Caption = '与源文件同一路径'
      Checked = True
      Color = clBlack
      TabOrder = 5
      OnClick = CheckBox_destinationEqualSourceClick
    end
    object Label_destinationPath: TLabel
      Left = 162
      Top = 6
      Width = 60
      Height = 12
      Caption = '目标路径:'
      Transparent = True
      Visible = False
    end
    object StaticText_destinationPath: TStaticText
      Left = 226
      Top = 3
      Width = 316
      Height = 17
      AutoSize = False
      BorderStyle = sbsSunken
      Color = clBlack
      Visible = False
    end
    object SpeedButton_destinationPath: TSpeedButton
      Left = 548
      Top = 1
      Width = 24
      Height = 21
      Hint = '选择目标路径。'
      Caption = '...'
      Visible = False
      OnClick = SpeedButton_destinationPathClick
    end
  end
  object Panel_options: TPanel
    Left = 102
    Top = 441
    Width = 577
    Height = 78
    BevelOuter = bvLowered
    BevelWidth = 2
    Color = clBlack
  end
  object Label_defaultMark: TLabel
    Left = 102
    Top = 523
    Width = 90
    Height = 12
    Caption = '* = 默认设置'
    Transparent = True
  end
  object CheckBox_autoShow: TCheckBox
    Left = 440
    Top = 521
    Width = 100
    Height = 17
    Hint = '转换完毕自动显示输出文件。'
    Caption = '自动显示'
    Color = clBlack
    TabOrder = 6
  end
  object StaticText_status: TStaticText
    Left = 102
    Top = 546
    Width = 240
    Height = 16
    AutoSize = False
    Caption = '就绪。'
    Color = clBlack
  end
  object StyProgress_converting: TStyProgress
    Left = 102
    Top = 566
    Width = 330
    Height = 14
    Position = 100
    Step = 5
    SmallBars = 157
  end
  object StyButton_show: TStyButton
    Left = 456
    Top = 546
    Width = 104
    Height = 32
    Hint = '显示输出。'
    Caption = ' 显示(&W)'
    Font.Charset = GB2312_CHARSET
    Font.Color = clBlack
    Font.Height = -12
    Font.Name = '宋体'
    Font.Style = [fsBold]
    ParentFont = False
    Visible = False
    OnClick = StyButton_showClick
  end
  object StyButton_start: TStyButton
    Left = 572
    Top = 546
    Width = 107
    Height = 32
    Hint = '开始转换。'
    Caption = ' 开始(&S)'
    Font.Charset = GB2312_CHARSET
    Font.Color = clBlack
    Font.Height = -12
    Font.Name = '宋体'
    Font.Style = [fsBold]
    ParentFont = False
    TabOrder = 7
    OnClick = StyButton_startClick
  end
  object Label_copyright: TLabel
    Left = 6
    Top = 572
    Width = 90
    Height = 12
    Cursor = crHandPoint
    Caption = '© Vexomat'
    Font.Charset = GB2312_CHARSET
    Font.Color = clGray
    Font.Height = -11
    Font.Name = '宋体'
    Font.Style = []
    ParentFont = False
    Transparent = True
    OnClick = Label_copyrightClick
  end
  object Timer_progress: TTimer
    Enabled = False
    OnTimer = Timer_progressTimer
    Left = 8
    Top = 300
  end
  object OpenDialog_sourceFile: TOpenDialog
    Title = '源文件'
    Left = 40
    Top = 300
  end
  object XcBrowseForFolderDialog_destinationDialog: TXcBrowseForFolderDialog
    Title = '目标路径'
    Left = 72
    Top = 300
  end
end
