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
        DriveTypes = [dtRemovable, dtFixed, dtRemote, dtCDROM, dtRamDisk]
        Offset = 4
        ItemHeight = 16
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
        Directory = '/'
        ItemHeight = 17
        ScrollBars = ssBoth
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
        FileType = [ftReadOnly, ftNormal]
        ForceFileExtensions = True
        ItemHeight = 13
        Font.Charset = GB2312_CHARSET
        Font.Color = clBlack
        Font.Height = -12
        Font.Name = '宋体'
        Font.Style = []
        ParentFont = False
        ExtendedSelect = False
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
    object GroupBox_identification: TGroupBox
      Left = 12
      Top = 3
      Width = 199
      Height = 69
      Caption = '识别空白区'
      Color = clBlack
      ParentColor = False
      object Label_ignore_noise: TLabel
        Left = 8
        Top = 25
        Width = 96
        Height = 12
        Caption = '忽略噪点 [点数]:'
        Transparent = True
      end
      object StaticText_ignore_noise: TStaticText
        Left = 120
        Top = 23
        Width = 28
        Height = 15
        AutoSize = False
        Alignment = taCenter
        Caption = '0'
        Color = clBlack
      end
      object XcUpDown_ignore_noise: TXcUpDown
        Left = 152
        Top = 23
        Width = 32
        Height = 15
        Associate = StaticText_ignore_noise
        Min = 0
        Max = 500
        Orientation = udHorizontal
      end
      object Label_skip_border: TLabel
        Left = 8
        Top = 45
        Width = 96
        Height = 12
        Caption = '略过边框 [点数]:'
        Transparent = True
      end
      object StaticText_skip_border: TStaticText
        Left = 120
        Top = 43
        Width = 28
        Height = 15
        AutoSize = False
        Alignment = taCenter
        Caption = '0'
        Color = clBlack
      end
      object XcUpDown_skip_border: TXcUpDown
        Left = 152
        Top = 43
        Width = 32
        Height = 15
        Associate = StaticText_skip_border
        Min = 0
        Max = 500
        Orientation = udHorizontal
      end
    end
    object GroupBox_destination: TGroupBox
      Left = 215
      Top = 3
      Width = 186
      Height = 69
      Caption = '目标文件'
      Color = clBlack
      ParentColor = False
      object Label_add_border: TLabel
        Left = 8
        Top = 33
        Width = 96
        Height = 12
        Caption = '添加边框 [点数]:'
        Transparent = True
      end
      object StaticText_add_border: TStaticText
        Left = 112
        Top = 31
        Width = 28
        Height = 15
        AutoSize = False
        Alignment = taCenter
        Caption = '0'
        Color = clBlack
      end
      object XcUpDown_add_border: TXcUpDown
        Left = 144
        Top = 31
        Width = 32
        Height = 15
        Associate = StaticText_add_border
        Min = 0
        Max = 500
        Orientation = udHorizontal
        HotTrack = True
        Thousands = False
      end
    end
    object GroupBox_layer: TGroupBox
      Left = 355
      Top = 3
      Width = 78
      Height = 69
      Caption = '层'
      Color = clBlack
      ParentColor = False
      object RadioButton_layerS: TRadioButton
        Left = 8
        Top = 20
        Width = 64
        Height = 16
        Caption = '单层*'
        Checked = True
        Color = clBlack
      end
      object RadioButton_layerM: TRadioButton
        Left = 8
        Top = 42
        Width = 64
        Height = 16
        Caption = '多层'
        Color = clBlack
      end
    end
    object GroupBox_data: TGroupBox
      Left = 12
      Top = 3
      Width = 251
      Height = 69
      Caption = '数据对象'
      Color = clBlack
      ParentColor = False
      object RadioButton_typeR: TRadioButton
        Left = 8
        Top = 19
        Width = 64
        Height = 16
        Caption = '报告*'
        Checked = True
        Color = clBlack
      end
      object RadioButton_typeQ: TRadioButton
        Left = 84
        Top = 19
        Width = 56
        Height = 16
        Caption = '查询'
        Color = clBlack
      end
      object RadioButton_typeT: TRadioButton
        Left = 152
        Top = 19
        Width = 56
        Height = 16
        Caption = '表格'
        Color = clBlack
      end
      object Edit_dataName: TEdit
        Left = 8
        Top = 41
        Width = 235
        Height = 19
        Color = clWhite
        Font.Charset = GB2312_CHARSET
        Font.Color = clBlack
        Font.Height = -12
        Font.Name = '宋体'
        Font.Style = []
        ParentFont = False
      end
    end
    object GroupBox_html: TGroupBox
      Left = 12
      Top = 3
      Width = 285
      Height = 69
      Caption = ' HTML '
      Color = clBlack
      ParentColor = False
      object Label_html_title: TLabel
        Left = 8
        Top = 21
        Width = 30
        Height = 12
        Caption = '标题:'
        Transparent = True
      end
      object Edit_html_title: TEdit
        Left = 68
        Top = 17
        Width = 118
        Height = 19
        Color = clWhite
        Font.Charset = GB2312_CHARSET
        Font.Color = clBlack
        Font.Height = -12
        Font.Name = '宋体'
        Font.Style = []
        ParentFont = False
        MaxLength = 50
      end
      object Label_html_pagetext: TLabel
        Left = 8
        Top = 45
        Width = 54
        Height = 12
        Caption = '页面文本:'
        Transparent = True
      end
      object Edit_html_pagetext: TEdit
        Left = 68
        Top = 41
        Width = 118
        Height = 19
        Color = clWhite
        Font.Charset = GB2312_CHARSET
        Font.Color = clBlack
        Font.Height = -12
        Font.Name = '宋体'
        Font.Style = []
        ParentFont = False
        MaxLength = 50
      end
      object Label_html_border: TLabel
        Left = 194
        Top = 21
        Width = 30
        Height = 12
        Caption = '边框:'
        Transparent = True
      end
      object CheckBox_html_border: TCheckBox
        Left = 232
        Top = 19
        Width = 16
        Height = 16
        Color = clBlack
      end
      object Label_html_columns: TLabel
        Left = 194
        Top = 45
        Width = 18
        Height = 12
        Caption = '列:'
        Transparent = True
      end
      object StaticText_html_columns: TStaticText
        Left = 214
        Top = 43
        Width = 28
        Height = 15
        AutoSize = False
        Alignment = taCenter
        Caption = '0'
        Color = clBlack
      end
      object XcUpDown_html_columns: TXcUpDown
        Left = 244
        Top = 43
        Width = 32
        Height = 15
        Associate = StaticText_html_columns
        Min = 1
        Max = 500
        Position = 1
        Orientation = udHorizontal
        HotTrack = True
        Thousands = False
      end
    end
    object GroupBox_encryption: TGroupBox
      Left = 12
      Top = 3
      Width = 555
      Height = 69
      Caption = '加密'
      Color = clBlack
      ParentColor = False
      object Label_encryption_password: TLabel
        Left = 8
        Top = 21
        Width = 30
        Height = 12
        Caption = '密码:'
        Transparent = True
      end
      object Edit_encryption_password: TEdit
        Left = 44
        Top = 17
        Width = 120
        Height = 19
        Color = clWhite
        Font.Charset = GB2312_CHARSET
        Font.Color = clBlack
        Font.Height = -12
        Font.Name = '宋体'
        Font.Style = []
        ParentFont = False
      end
      object Label_encryption_type: TLabel
        Left = 8
        Top = 45
        Width = 30
        Height = 12
        Caption = '类型:'
        Transparent = True
      end
      object ComboBox_encryption_type: TComboBox
        Left = 44
        Top = 41
        Width = 120
        Height = 20
        Style = csDropDownList
        Color = clWhite
        Font.Charset = GB2312_CHARSET
        Font.Color = clBlack
        Font.Height = -12
        Font.Name = '宋体'
        Font.Style = []
        ParentFont = False
        DropDownCount = 12
        OnChange = ComboBox_encryption_typeChange
      end
      object StaticText_encryption_type: TStaticText
        Left = 172
        Top = 45
        Width = 190
        Height = 15
        AutoSize = False
        Caption = '000'
        Color = clBlack
      end
      object CheckBox_encryption_allowsP: TCheckBox
        Left = 370
        Top = 19
        Width = 84
        Height = 16
        Caption = '打印文档'
        Checked = True
        Color = clBlack
      end
      object CheckBox_encryption_allowsM: TCheckBox
        Left = 370
        Top = 43
        Width = 84
        Height = 16
        Caption = '修改内容'
        Checked = True
        Color = clBlack
      end
      object CheckBox_encryption_allowsC: TCheckBox
        Left = 458
        Top = 19
        Width = 92
        Height = 16
        Caption = '从文档中复制'
        Checked = True
        Color = clBlack
      end
      object CheckBox_encryption_allowsA: TCheckBox
        Left = 458
        Top = 43
        Width = 92
        Height = 16
        Caption = '修复注释'
        Checked = True
        Color = clBlack
      end
    end
    object GroupBox_sheets: TGroupBox
      Left = 164
      Top = 3
      Width = 65
      Height = 69
      Caption = '工作表'
      Color = clBlack
      ParentColor = False
      object RadioButton_sheetsFirst: TRadioButton
        Left = 8
        Top = 15
        Width = 52
        Height = 16
        Caption = '最初*'
        Checked = True
        Color = clBlack
      end
      object RadioButton_sheetsLast: TRadioButton
        Left = 8
        Top = 32
        Width = 52
        Height = 16
        Caption = '最后'
        Color = clBlack
      end
      object RadioButton_sheetsAll: TRadioButton
        Left = 8
        Top = 49
        Width = 52
        Height = 16
        Caption = '全部'
        Color = clBlack
      end
    end
    object GroupBox_papersize: TGroupBox
      Left = 82
      Top = 3
      Width = 340
      Height = 69
      Caption = '纸张大小'
      Color = clBlack
      ParentColor = False
      object ComboBox_papersize: TComboBox
        Left = 8
        Top = 17
        Width = 130
        Height = 20
        Style = csDropDownList
        Color = clWhite
        Font.Charset = GB2312_CHARSET
        Font.Color = clBlack
        Font.Height = -12
        Font.Name = '宋体'
        Font.Style = []
        ParentFont = False
        DropDownCount = 12
        OnChange = ComboBox_papersizeChange
      end
      object StaticText_pagesize: TStaticText
        Left = 8
        Top = 44
        Width = 324
        Height = 17
        AutoSize = False
        BorderStyle = sbsSunken
        Caption = '000'
        Color = clBlack
        Visible = False
      end
      object Label_papersize_width: TLabel
        Left = 150
        Top = 21
        Width = 60
        Height = 12
        Caption = '宽 [点数]:'
        Transparent = True
        Visible = False
      end
      object Edit_papersize_width: TEdit
        Left = 216
        Top = 17
        Width = 56
        Height = 19
        Color = clWhite
        Font.Charset = GB2312_CHARSET
        Font.Color = clBlack
        Font.Height = -12
        Font.Name = '宋体'
        Font.Style = []
        ParentFont = False
        MaxLength = 5
        Visible = False
      end
      object Label_papersize_height: TLabel
        Left = 150
        Top = 45
        Width = 60
        Height = 12
        Caption = '高 [点数]:'
        Transparent = True
        Visible = False
      end
      object Edit_papersize_height: TEdit
        Left = 216
        Top = 41
        Width = 56
        Height = 19
        Color = clWhite
        Font.Charset = GB2312_CHARSET
        Font.Color = clBlack
        Font.Height = -12
        Font.Name = '宋体'
        Font.Style = []
        ParentFont = False
        MaxLength = 5
        Visible = False
      end
    end
    object GroupBox_colordepth: TGroupBox
      Left = 88
      Top = 3
      Width = 141
      Height = 69
      Caption = '颜色深度'
      Color = clBlack
      ParentColor = False
      object RadioButton_colordepth24: TRadioButton
        Left = 8
        Top = 15
        Width = 60
        Height = 16
        Caption = '24位*'
        Checked = True
        Color = clBlack
      end
      object RadioButton_colordepth8: TRadioButton
        Left = 8
        Top = 32
        Width = 60
        Height = 16
        Caption = '8位'
        Color = clBlack
      end
      object RadioButton_colordepth4: TRadioButton
        Left = 8
        Top = 49
        Width = 60
        Height = 16
        Caption = '4位'
        Color = clBlack
      end
      object RadioButton_colordepth1: TRadioButton
        Left = 72
        Top = 15
        Width = 64
        Height = 16
        Caption = '1位'
        Color = clBlack
      end
      object RadioButton_colordepth8g: TRadioButton
        Left = 72
        Top = 32
        Width = 66
        Height = 16
        Caption = '8位灰度'
        Color = clBlack
      end
    end
    object GroupBox_watermark: TGroupBox
      Left = 12
      Top = 3
      Width = 325
      Height = 69
      Caption = ' 水印 '
      Color = clBlack
      ParentColor = False
      object Label_watermark_text: TLabel
        Left = 8
        Top = 21
        Width = 30
        Height = 12
        Caption = '文本:'
        Transparent = True
      end
      object Edit_watermark_text: TEdit
        Left = 44
        Top = 17
        Width = 273
        Height = 19
        Color = clWhite
        Font.Charset = GB2312_CHARSET
        Font.Color = clBlack
        Font.Height = -12
        Font.Name = '宋体'
        Font.Style = []
        ParentFont = False
        MaxLength = 50
      end
      object Label_watermark_fontsize: TLabel
        Left = 8
        Top = 45
        Width = 90
        Height = 12
        Caption = '字体大小[字号]:'
        Transparent = True
      end
      object StaticText_watermark_fontsize: TStaticText
        Left = 100
        Top = 43
        Width = 28
        Height = 15
        AutoSize = False
        Alignment = taCenter
        Caption = '0'
        Color = clBlack
      end
      object XcUpDown_watermark_fontsize: TXcUpDown
        Left = 130
        Top = 43
        Width = 32
        Height = 15
        Associate = StaticText_watermark_fontsize
        Min = 0
        Max = 500
        Orientation = udHorizontal
        HotTrack = True
        Thousands = False
      end
      object Label_watermark_opacity: TLabel
        Left = 170
        Top = 45
        Width = 78
        Height = 12
        Caption = '不透明度 [%]:'
        Transparent = True
      end
      object StaticText_watermark_opacity: TStaticText
        Left = 252
        Top = 43
        Width = 28
        Height = 15
        AutoSize = False
        Alignment = taCenter
        Caption = '0'
        Color = clBlack
      end
      object XcUpDown_watermark_opacity: TXcUpDown
        Left = 284
        Top = 43
        Width = 32
        Height = 15
        Associate = StaticText_watermark_opacity
        Min = 0
        Max = 100
        Orientation = udHorizontal
        HotTrack = True
        Thousands = False
      end
    end
    object GroupBox_mergeAll: TGroupBox
      Left = 12
      Top = 3
      Width = 137
      Height = 69
      Caption = ' 正在合并...'
      Color = clBlack
      ParentColor = False
      object RadioButton_mergeAll_files: TRadioButton
        Left = 8
        Top = 20
        Width = 124
        Height = 16
        Caption = '所选的文件*'
        Checked = True
        Color = clBlack
        OnClick = RadioButton_mergeAll_filesClick
      end
      object RadioButton_mergeAll_folder: TRadioButton
        Left = 8
        Top = 42
        Width = 124
        Height = 16
        Caption = '文件夹中所有文件'
        Color = clBlack
        OnClick = RadioButton_mergeAll_folderClick
      end
    end
    object GroupBox_quality: TGroupBox
      Left = 312
      Top = 3
      Width = 121
      Height = 69
      Caption = ' 质量 '
      Color = clBlack
      ParentColor = False
      object RadioButton_qualityN: TRadioButton
        Left = 8
        Top = 15
        Width = 44
        Height = 16
        Hint = '质量值 = 75'
        Caption = '高*'
        Checked = True
        Color = clBlack
        OnClick = RadioButton_qualityNClick
      end
      object RadioButton_qualityM: TRadioButton
        Left = 8
        Top = 32
        Width = 44
        Height = 16
        Hint = '质量值 = 40'
        Caption = '中'
        Color = clBlack
        OnClick = RadioButton_qualityNClick
      end
      object RadioButton_qualityL: TRadioButton
        Left = 8
        Top = 49
        Width = 44
        Height = 16
        Hint = '质量值 = 5'
        Caption = '低'
        Color = clBlack
        OnClick = RadioButton_qualityNClick
      end
      object RadioButton_qualityX: TRadioButton
        Left = 56
        Top = 15
        Width = 60
        Height = 16
        Hint = '质量值 = 100'
        Caption = '最大值'
        Color = clBlack
        OnClick = RadioButton_qualityNClick
      end
      object RadioButton_qualityEdit: TRadioButton
        Left = 56
        Top = 33
        Width = 16
        Height = 16
        Color = clBlack
      end
      object Edit_quality: TEdit
        Left = 74
        Top = 31
        Width = 40
        Height = 19
        Hint = '请在这里输入品质值(1..100)'
        Color = clWhite
        Font.Charset = GB2312_CHARSET
        Font.Color = clBlack
        Font.Height = -12
        Font.Name = '宋体'
        Font.Style = []
        ParentFont = False
        MaxLength = 4
        OnClick = Edit_qualityClick
        OnExit = Edit_qualityExit
      end
    end
    object GroupBox_pagesperside: TGroupBox
      Left = 318
      Top = 3
      Width = 105
      Height = 69
      Caption = '每个幻灯片页面'
      Color = clBlack
      ParentColor = False
      object RadioButton_pagesperside_1: TRadioButton
        Left = 10
        Top = 15
        Width = 42
        Height = 16
        Caption = '1*'
        Checked = True
        Color = clBlack
      end
      object RadioButton_pagesperside_2: TRadioButton
        Left = 10
        Top = 32
        Width = 42
        Height = 16
        Caption = '2'
        Color = clBlack
      end
      object RadioButton_pagesperside_4: TRadioButton
        Left = 10
        Top = 49
        Width = 42
        Height = 16
        Caption = '4'
        Color = clBlack
      end
      object RadioButton_pagesperside_6: TRadioButton
        Left = 56
        Top = 15
        Width = 42
        Height = 16
        Caption = '6'
        Color = clBlack
      end
      object RadioButton_pagesperside_8: TRadioButton
        Left = 56
        Top = 32
        Width = 42
        Height = 16
        Caption = '8'
        Color = clBlack
      end
      object RadioButton_pagesperside_16: TRadioButton
        Left = 56
        Top = 49
        Width = 42
        Height = 16
        Caption = '16'
        Color = clBlack
      end
    end
    object GroupBox_reduction: TGroupBox
      Left = 12
      Top = 3
      Width = 137
      Height = 69
      Caption = ' 图形缩减 '
      Color = clBlack
      ParentColor = False
      object Label_reduction_quality: TLabel
        Left = 8
        Top = 33
        Width = 30
        Height = 12
        Caption = '品质:'
        Transparent = True
      end
      object StaticText_reduction_quality: TStaticText
        Left = 48
        Top = 31
        Width = 28
        Height = 15
        AutoSize = False
        Alignment = taCenter
        Caption = '0'
        Color = clBlack
      end
      object XcUpDown_reduction_quality: TXcUpDown
        Left = 80
        Top = 31
        Width = 32
        Height = 15
        Associate = StaticText_reduction_quality
        Min = 5
        Max = 300
        Increment = 5
        Position = 5
        Orientation = udHorizontal
        HotTrack = True
        Thousands = False
      end
    end
    object GroupBox_range: TGroupBox
      Left = 12
      Top = 3
      Width = 133
      Height = 69
      Caption = '正在转换...'
      Color = clBlack
      ParentColor = False
      object RadioButton_rangeAll: TRadioButton
        Left = 8
        Top = 19
        Width = 110
        Height = 16
        Hint = '正在转换所有页面。'
        Caption = '所有页面*'
        Checked = True
        Color = clBlack
        OnClick = RadioButton_rangeAllClick
      end
      object RadioButton_rangeEdit: TRadioButton
        Left = 8
        Top = 43
        Width = 52
        Height = 16
        Caption = '范围:'
        Color = clBlack
      end
      object Edit_range: TEdit
        Left = 62
        Top = 41
        Width = 63
        Height = 19
        Hint = '页面范围, 例如: 2, 6-10 (第 2 页和第 6 至 10 页)'
        Color = clWhite
        Font.Charset = GB2312_CHARSET
        Font.Color = clBlack
        Font.Height = -12
        Font.Name = '宋体'
        Font.Style = []
        ParentFont = False
        OnClick = Edit_rangeClick
      end
    end
    object GroupBox_resolution: TGroupBox
      Left = 436
      Top = 3
      Width = 131
      Height = 69
      Caption = ' 分辨率 '
      Color = clBlack
      ParentColor = False
      object RadioButton_resolution72: TRadioButton
        Left = 8
        Top = 15
        Width = 58
        Height = 16
        Caption = '72dpi*'
        Color = clBlack
        OnClick = RadioButton_resolution72Click
      end
      object RadioButton_resolution100: TRadioButton
        Left = 8
        Top = 32
        Width = 58
        Height = 16
        Caption = '100dpi'
        Color = clBlack
        OnClick = RadioButton_resolution72Click
      end
      object RadioButton_resolution150: TRadioButton
        Left = 8
        Top = 49
        Width = 58
        Height = 16
        Caption = '150dpi'
        Color = clBlack
        OnClick = RadioButton_resolution72Click
      end
      object RadioButton_resolution300: TRadioButton
        Left = 70
        Top = 15
        Width = 58
        Height = 16
        Caption = '300dpi'
        Checked = True
        Color = clBlack
        OnClick = RadioButton_resolution72Click
      end
      object RadioButton_resolution600: TRadioButton
        Left = 70
        Top = 32
        Width = 58
        Height = 16
        Caption = '600dpi'
        Color = clBlack
        OnClick = RadioButton_resolution72Click
      end
      object RadioButton_resolutionEdit: TRadioButton
        Left = 70
        Top = 50
        Width = 16
        Height = 16
        Color = clBlack
      end
      object Edit_resolution: TEdit
        Left = 88
        Top = 48
        Width = 36
        Height = 19
        Hint = '在这里输入“dpi”值'
        Color = clWhite
        Font.Charset = GB2312_CHARSET
        Font.Color = clBlack
        Font.Height = -12
        Font.Name = '宋体'
        Font.Style = []
        ParentFont = False
        MaxLength = 4
        OnClick = Edit_resolutionClick
        OnExit = Edit_resolutionExit
      end
    end
    object GroupBox_orientation: TGroupBox
      Left = 232
      Top = 3
      Width = 83
      Height = 69
      Caption = ' 方向 '
      Color = clBlack
      ParentColor = False
      object RadioButton_orientationD: TRadioButton
        Left = 8
        Top = 15
        Width = 68
        Height = 16
        Caption = '默认*'
        Checked = True
        Color = clBlack
      end
      object RadioButton_orientationP: TRadioButton
        Left = 8
        Top = 32
        Width = 68
        Height = 16
        Caption = '纵向'
        Color = clBlack
      end
      object RadioButton_orientationL: TRadioButton
        Left = 8
        Top = 49
        Width = 68
        Height = 16
        Caption = '横向'
        Color = clBlack
      end
    end
    object GroupBox_optimized: TGroupBox
      Left = 426
      Top = 3
      Width = 141
      Height = 69
      Caption = ' PDF 优化... '
      Color = clBlack
      ParentColor = False
      object RadioButton_optimizedD: TRadioButton
        Left = 8
        Top = 15
        Width = 60
        Height = 16
        Hint = '默认品质。'
        Caption = '默认*'
        Checked = True
        Color = clBlack
        OnClick = RadioButton_optimizedDClick
      end
      object RadioButton_optimizedR: TRadioButton
        Left = 8
        Top = 32
        Width = 60
        Height = 16
        Hint = '最佳质量。'
        Caption = '预压'
        Color = clBlack
        OnClick = RadioButton_optimizedDClick
      end
      object RadioButton_optimizedS: TRadioButton
        Left = 8
        Top = 49
        Width = 60
        Height = 16
        Hint = '较好质量。'
        Caption = '屏幕'
        Color = clBlack
        OnClick = RadioButton_optimizedDClick
      end
      object RadioButton_optimizedP: TRadioButton
        Left = 72
        Top = 15
        Width = 64
        Height = 16
        Hint = '非常好的质量。'
        Caption = '打印机'
        Color = clBlack
        OnClick = RadioButton_optimizedDClick
      end
      object RadioButton_optimizedEdit: TRadioButton
        Left = 72
        Top = 33
        Width = 16
        Height = 16
        Color = clBlack
      end
      object Edit_optimized: TEdit
        Left = 90
        Top = 31
        Width = 44
        Height = 19
        Hint = '请在这里输入优化(品质)值(5..200)。'
        Color = clWhite
        Font.Charset = GB2312_CHARSET
        Font.Color = clBlack
        Font.Height = -12
        Font.Name = '宋体'
        Font.Style = []
        ParentFont = False
        MaxLength = 4
        OnClick = Edit_optimizedClick
        OnExit = Edit_optimizedExit
      end
    end
    object GroupBox_merge: TGroupBox
      Left = 12
      Top = 3
      Width = 245
      Height = 69
      Caption = ' 合并 '
      Color = clBlack
      ParentColor = False
      object Label_2ndFile: TLabel
        Left = 8
        Top = 21
        Width = 108
        Height = 12
        Caption = '第二个文件[可选]：'
        Transparent = True
      end
      object Edit_2ndFile: TEdit
        Left = 116
        Top = 17
        Width = 96
        Height = 19
        Color = clWhite
        Font.Charset = GB2312_CHARSET
        Font.Color = clBlack
        Font.Height = -12
        Font.Name = '宋体'
        Font.Style = []
        ParentFont = False
      end
      object StyButton_2ndFile: TStyButton
        Left = 214
        Top = 16
        Width = 24
        Height = 21
        Caption = '...'
        Color = 14671839
        Glyph.Resource = 'images/glyph_2ndfile.bmp'
        Font.Charset = GB2312_CHARSET
        Font.Color = clBlack
        Font.Height = -12
        Font.Name = '宋体'
        Font.Style = []
        ParentFont = False
        OnClick = StyButton_2ndFileClick
      end
      object Label_arrange: TLabel
        Left = 8
        Top = 46
        Width = 54
        Height = 12
        Caption = '页面顺序:'
        Transparent = True
      end
      object StyButton_arrange: TStyButton
        Left = 116
        Top = 40
        Width = 96
        Height = 23
        Caption = '>> 重排'
        Color = 14671839
        Glyph.Resource = 'images/glyph_arrange.bmp'
        Font.Charset = GB2312_CHARSET
        Font.Color = clBlack
        Font.Height = -12
        Font.Name = '宋体'
        Font.Style = []
        ParentFont = False
        OnClick = StyButton_arrangeClick
      end
      object OpenDialog_2ndFile: TOpenDialog
        Filter = 'PDF (*.pdf)|*.pdf'
        Left = 0
        Top = 0
      end
    end
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
    Width = 455
    Height = 17
    BarColor = 153
    Bar3D = lsWindowBorder
    Bevel.StyleOuter = bvLowered
    Bevel.Mode = bmCustom
    Bevel.StandardStyle = lsNone
    Color = 14671839
    SmallBar.AutoSize = False
    SmallBar.BarColor = 153
    SmallBar.BarCount = 157
    SmallBar.HSpace = 1
    SmallBar.VSpace = 1
    Step = 5
    Position = 100
    UserValue = 100
  end
  object StyButton_show: TStyButton
    Left = 572
    Top = 521
    Width = 107
    Height = 27
    Hint = '显示输出。'
    Caption = ' 显示(&W)'
    Color = 14671839
    Glyph.Resource = 'images/glyph_show.bmp'
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
    Top = 552
    Width = 107
    Height = 32
    Hint = '开始转换。'
    Caption = ' 开始(&S)'
    Color = 14671839
    Glyph.Resource = 'images/glyph_start.bmp'
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
    Options = [odOnlyDirectory, odStatusAvailable, odNewDialogStyle]
    Title = '目标路径'
    Left = 72
    Top = 300
  end
end
